#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "core/LSRCFilterBase.h"
#include "effects/LEfSourceMaker.h"

// Dynamic range compressor with look-ahead. The input is read in blocks of a
// window (45 ms in the commands), one block ahead of what is returned; each
// block's level (BlockLevelDb) picks a gain from a table, and the gain ramps
// towards the coming block's during the current one: quickly when it must
// fall, over two windows when it may rise. All channels share the gain.
class LSRCCompressor : public LSRCFilterBase {
public:
    // `threshold` in dB (held to -127..127), `factor` the per-decibel gain over
    // it (CompressorRatioList), `upper` the level above which every further
    // decibel is cut hard (127: none).
    LSRCCompressor(LSoundSource upstream, int32_t upper, int32_t windowMs, double factor, int32_t threshold);
    // Silence when the input is in error.
    void Read(int32_t* buffer, int32_t frames) override;
    // The input's position less the frames held ahead.
    int32_t GetPosition() override;
    // Forwards to the input; the next Read starts the blocks afresh.
    void Seek(int32_t frame) override;

    // Q24 gain per block level -128..127 (index level + 128). Below the
    // threshold it is the make-up gain 2^24 / factor^(-threshold), so that a
    // 0 dB block keeps unity; each decibel from the threshold up multiplies it
    // by factor. Saturates at 0x7FFFFFFF.
    using GainTable = std::array<int32_t, 256>;
    static GainTable MakeGainTable(int32_t threshold, double factor, int32_t upper);
    int32_t WindowFrames() const { return window_; }

private:
    void NextBlock();
    int32_t GainOf(const std::vector<int32_t>& block) const;

    GainTable table_;
    int32_t window_;
    std::vector<int32_t> current_, next_;
    int32_t pos_;
    bool started_ = false;
    int32_t gain_ = 0, step_ = 0;
    int32_t currentGain_ = 0, nextGain_ = 0;  // the table gains of the two blocks
};

// The compressor's values as the job, the preview and the batch converter hold
// them. The limit travels with them but does not enter the filter.
class LEfCompressorMaker : public LEfSourceMaker {
public:
    static constexpr int32_t kWindowMs = 45;

    LEfCompressorMaker(int32_t thresholdDb, double ratioFactor, int32_t limitDb)
        : threshold(thresholdDb), factor(ratioFactor), limit(limitDb)
    {
    }
    LSoundSource MakeSource(const LSoundSource& input) const override;

    int32_t threshold;
    double factor;
    int32_t limit;
};
