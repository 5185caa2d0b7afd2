#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "core/LSRCFilterBase.h"
#include "effects/LEfSourceMaker.h"

// Four-band noise gate with look-ahead. Each channel is split by one-pole
// filters into 50-400 Hz, 400-1100 Hz, 1100-2600 Hz and the rest (content below
// 50 Hz is dropped); the bands add back up to the input. Blocks of 1/30 s are
// read one ahead of what is returned, and each band's gain opens during the
// block before a sound of its band arrives and closes slowly after it: a band
// is closed 12 dB below its threshold level, three-quarters open at it and
// fully open 2 dB above it.
class LSRCNoiseGates : public LSRCFilterBase {
public:
    static constexpr int32_t kBands = 4;
    using Levels = std::array<int32_t, kBands>;

    // `levels`: each band's threshold in dB (held to -127..127).
    LSRCNoiseGates(LSoundSource upstream, const Levels& levels);
    void Read(int32_t* buffer, int32_t frames) override;
    // The input's position less the frames held ahead.
    int32_t GetPosition() override;
    // Forwards to the input and restarts the bands there at once.
    void Seek(int32_t frame) override;

    // floor(65536 * 10^(-level/20)) through the amplitude table; levels whose
    // table entry is 0 give the largest factor (the band never closes).
    static int32_t ThresholdFactor(int32_t level);
    // The Q24 gain a band should reach for its corrected block peak.
    static int32_t TargetGain(int64_t correctedPeak, int32_t factor);
    int32_t BlockFrames() const { return window_; }

private:
    using Bands = std::array<std::vector<int32_t>, kBands>;
    void Restart();
    void ReadBlock(Bands& bands);
    std::array<int32_t, kBands> Targets(const Bands& bands) const;
    void NextBlock();

    int32_t window_;
    std::array<int64_t, kBands> a_{};
    std::array<int32_t, kBands> factors_{};
    std::vector<int64_t> states_;  // kBands per channel: the estimates times 256
    std::vector<int32_t> input_;
    Bands current_, next_;
    std::array<int32_t, kBands> gains_{}, steps_{};
    int32_t pos_ = 0;
};

// The four band levels as the job, the preview and the batch converter hold them.
class LEfNoiseGateMaker : public LEfSourceMaker {
public:
    explicit LEfNoiseGateMaker(const LSRCNoiseGates::Levels& bandLevels) : levels(bandLevels) {}
    // The bands the "Noise Reduction" command uses for its gate level L:
    // L + 3, L, L - 3 and L, each held to -127..127.
    static LEfNoiseGateMaker FromGateLevel(int32_t level);
    // The input itself when it is in error: there is nothing to gate.
    LSoundSource MakeSource(const LSoundSource& input) const override;

    LSRCNoiseGates::Levels levels;
};
