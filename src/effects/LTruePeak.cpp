#include "effects/LTruePeak.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int32_t kBlockFrames = 1024;
constexpr double kKaiserBeta = 8.0;

// The zeroth-order modified Bessel function, for the Kaiser window.
double BesselI0(double x)
{
    double sum = 1.0, term = 1.0;
    for (int k = 1; k < 30; ++k) {
        term *= (x / (2.0 * k)) * (x / (2.0 * k));
        sum += term;
    }
    return sum;
}

} // namespace

LTruePeak::LTruePeak(uint8_t channels, int32_t sampleRate)
    : channels_(channels), factor_(std::clamp<int32_t>((192000 + sampleRate - 1) / std::max(sampleRate, 1), 1, 32)),
      line_(channels, std::vector<float>(size_t(kTaps - 1 + kBlockFrames), 0.0F)), peak_(channels, 0.0)
{
    // Output i of phase p lies p/factor after line[i + kTaps/2 - 1]; tap k
    // weighs line[i + k], at distance d = kTaps/2 - 1 - k + p/factor from it,
    // by a sinc cut off at the input's Nyquist frequency under a Kaiser window
    // spanning the taps. Phase 0 is then the samples themselves.
    const double pi = 3.14159265358979323846;
    filter_.assign(size_t(kTaps) * size_t(factor_), 0.0F);
    bound_ = 0;
    for (int32_t p = 0; p < factor_; ++p) {
        double sumAbs = 0;
        for (int32_t k = 0; k < kTaps; ++k) {
            const double d = double(kTaps / 2 - 1 - k) + double(p) / factor_;
            const double r = std::clamp(d / (kTaps / 2.0), -1.0, 1.0);
            const double window = BesselI0(kKaiserBeta * std::sqrt(1.0 - r * r)) / BesselI0(kKaiserBeta);
            const double h = (d == 0.0 ? 1.0 : std::sin(pi * d) / (pi * d)) * window;
            filter_[size_t(p * kTaps + k)] = float(h);
            sumAbs += std::fabs(h);
        }
        bound_ = std::max(bound_, sumAbs);
    }
}

void LTruePeak::Add(const float* values, int32_t frames)
{
    while (frames > 0) {
        const int32_t n = std::min(frames, kBlockFrames);
        for (uint8_t c = 0; c < channels_; ++c) {
            float* line = line_[c].data() + (kTaps - 1);
            float most = 0;
            for (int32_t i = 0; i < n; ++i) {
                line[i] = values[size_t(i) * channels_ + c];
                most = std::max(most, std::fabs(line[i]));
            }
            peak_[c] = std::max(peak_[c], double(most));
            // The interpolated values near this block read the history too.
            for (int32_t i = 0; i < kTaps - 1; ++i)
                most = std::max(most, std::fabs(line_[c][size_t(i)]));
            if (factor_ > 1 && double(most) * bound_ > peak_[c])
                Interpolate(c, n);
            std::copy(line_[c].begin() + n, line_[c].begin() + n + (kTaps - 1), line_[c].begin());
        }
        values += size_t(n) * channels_;
        frames -= n;
    }
}

void LTruePeak::Interpolate(uint8_t c, int32_t frames)
{
    const float* line = line_[c].data();
    float most = 0;
    // Output i, phase p lies between line[i + kTaps/2 - 1] and the value after it.
    for (int32_t p = 1; p < factor_; ++p) {
        const float* h = filter_.data() + size_t(p) * kTaps;
        for (int32_t i = 0; i < frames; ++i) {
            const float* x = line + i;
            float y = 0;
            for (int32_t k = 0; k < kTaps; ++k)
                y += h[k] * x[k];
            most = std::max(most, std::fabs(y));
        }
    }
    peak_[c] = std::max(peak_[c], double(most));
}
