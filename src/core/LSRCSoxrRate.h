#pragma once
#include <vector>

#include "core/LSRCFilterBase.h"

struct soxr;

// Resampling source through libsoxr at its very high quality (28-bit precision,
// a steep band limit near the lower Nyquist frequency). Like LSRCConvertRate it
// keeps durations exactly: the output is round(length * target / source) frames
// long, its frame j aligned with input time j / target seconds (soxr removes its
// own filter delay), and reading past the end drains the filter's tail.
// Its maximum amplitude is twice the upstream's when that is at most 0x100000,
// as for LSRCConvertRate, allowing for the filter's overshoot.
// Used by one thread at a time, like every source.
class LSRCSoxrRate : public LSRCFilterBase {
public:
    // A target rate below 1 gives a source at 44100 in state kSrcInvalid; a
    // resampler libsoxr refuses to create leaves the source in kSrcInvalid too.
    LSRCSoxrRate(LSoundSource upstream, int32_t targetRate);
    ~LSRCSoxrRate() override;
    void Read(int32_t* buffer, int32_t frames) override;
    int32_t GetPosition() override { return position_; }
    int32_t GetLength() override;
    // Restarts the filter ahead of `frame` on a point where input and output
    // frames coincide and discards the output up to it, so a seek gives the
    // frames a read from the start would (to within the filter's rounding).
    void Seek(int32_t frame) override;

    // Output frames for `inputFrames` at this ratio, rounded to the nearest frame.
    int64_t OutputFrames(int64_t inputFrames) const;

private:
    void FillInput();

    static constexpr int32_t kBlock = 8192;
    soxr* soxr_ = nullptr;
    // The rates divided by their greatest common divisor: every `step_` input
    // frames give exactly `phases_` output frames.
    int64_t step_ = 1;
    int64_t phases_ = 1;
    int32_t position_ = 0;
    // Output frames still to drop after a seek, and zeros to give first for a
    // seek before the start.
    int64_t skip_ = 0;
    int64_t leadZeros_ = 0;
    std::vector<int32_t> raw_;
    std::vector<double> input_;
    size_t inputOffset_ = 0;  // frames of input_ already consumed
    size_t inputFrames_ = 0;  // frames in input_
    std::vector<double> output_;
};
