#pragma once
#include <cstdint>
#include <vector>

// The true peak of each channel: the largest magnitude of the signal
// oversampled to at least 192 kHz (the rate ffmpeg's meter measures at) by a
// Kaiser-windowed sinc interpolator of 32 taps per phase whose phase 0 is the
// samples themselves. A block whose samples (with the history its filter
// reads) cannot reach the largest peak found so far, whatever the phase, is
// not interpolated: after the first loud passage most of a file costs one
// comparison per value. Values are floats, 1.0 full scale.
class LTruePeak {
public:
    static constexpr int32_t kTaps = 32;  // per phase

    LTruePeak(uint8_t channels, int32_t sampleRate);
    // Adds `frames` interleaved frames.
    void Add(const float* values, int32_t frames);
    // The largest true peak of channel `c` so far, linear.
    double Peak(uint8_t c) const { return peak_[c]; }
    int32_t Factor() const { return factor_; }

private:
    void Interpolate(uint8_t c, int32_t frames);

    uint8_t channels_;
    int32_t factor_;                  // phases
    std::vector<float> filter_;       // factor_ phases of kTaps
    double bound_ = 1.0;              // the largest sum of |taps| of one phase
    std::vector<std::vector<float>> line_;  // per channel: kTaps - 1 of history, then the block
    std::vector<double> peak_;
};
