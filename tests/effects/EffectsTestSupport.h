#pragma once
#include <cmath>
#include <cstdint>
#include <vector>

#include "support/TestSupport.h"

namespace test {

// The strongest frequency between lo and hi Hz (0.1 Hz resolution) in values
// [from, from + frames) of channel 0: a coarse scan, then a fine one around its best.
inline double PeakFrequency(const std::vector<int32_t>& v, int32_t channels, int32_t rate, int64_t from, int64_t frames,
                            double lo, double hi)
{
    auto power = [&](double f) {
        double re = 0, im = 0, w = 2.0 * M_PI * f / rate;
        for (int64_t i = 0; i < frames; ++i) {
            double s = v[size_t((from + i) * channels)];
            re += s * std::cos(w * double(i));
            im += s * std::sin(w * double(i));
        }
        return re * re + im * im;
    };
    double best = lo, bestPower = -1;
    for (double f = lo; f <= hi; f += 2.0)
        if (double p = power(f); p > bestPower) {
            bestPower = p;
            best = f;
        }
    double centre = best;
    for (double f = centre - 2.0; f <= centre + 2.0; f += 0.1)
        if (double p = power(f); p > bestPower) {
            bestPower = p;
            best = f;
        }
    return best;
}

// Deterministic noise in +-amp.
inline std::vector<int32_t> Noise(size_t values, int32_t amp, uint32_t seed = 1)
{
    std::vector<int32_t> v(values);
    for (int32_t& x : v) {
        seed = seed * 1664525u + 1013904223u;
        x = int32_t(int64_t(seed >> 8) % (2 * int64_t(amp) + 1) - amp);
    }
    return v;
}

} // namespace test
