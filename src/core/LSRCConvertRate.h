#pragma once
#include <vector>

#include "core/ConvertRatio.h"
#include "core/LSRCFilterBase.h"

// Resampling source: a 63-tap polyphase FIR (Kaiser-windowed sinc) with block
// floating point, stepping through the input at the exact ratio of the rates, so
// the output lasts as long as the input (round(length * target / source) frames)
// and keeps its pitch. Each refill of 8192 input frames is shifted so its peak fits
// 16 bits, and the filter output shifted back.
// Its maximum amplitude is twice the upstream's when that is at most 0x100000,
// allowing for the filter's overshoot.
class LSRCConvertRate : public LSRCFilterBase {
public:
    static constexpr int32_t kTaps = 63;
    static constexpr int32_t kBlock = 8192;

    // A target rate below 1 gives a source at 44100 in state kSrcInvalid.
    LSRCConvertRate(LSoundSource upstream, int32_t targetRate, bool wideBand);
    void Read(int32_t* buffer, int32_t frames) override;
    int32_t GetPosition() override { return position_; }
    int32_t GetLength() override;
    void Seek(int32_t frame) override;

    const ConvertRatio& Ratio() const { return ratio_; }

private:
    void Refill();

    ConvertRatio ratio_;
    int32_t inIndex_ = kBlock + 32;
    int32_t phase_ = 0;
    int32_t position_ = 0;
    uint8_t blockShift_ = 0;
    int32_t outShift_ = 15;
    int64_t rounding_ = 1 << 14;
    // One planar buffer per channel: 63 frames of history, then 8192 new frames.
    std::vector<int32_t> input_[2];
    // The same values after the block shift as doubles, the filter's operands.
    std::vector<double> operands_[2];
    // The coefficient rows as doubles, padded with a zero tap to kRowStride.
    static constexpr int32_t kRowStride = 64;
    std::vector<double> rows_;
    std::vector<int32_t> scratch_;
};
