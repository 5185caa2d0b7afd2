#pragma once
#include <cmath>
#include <cstdint>
#include <vector>

#include "core/LSoundSource.h"
#include "support/TestSupport.h"

namespace test {

// The amplitude of the `freq` Hz component of channel `channel` over frames
// [from, from + frames), by a least-squares fit of a sine and a cosine.
inline double SineAmplitude(const std::vector<int32_t>& v, int32_t channels, int32_t channel, int32_t rate,
                            double freq, int64_t from, int64_t frames)
{
    double ss = 0, cc = 0, sc = 0, xs = 0, xc = 0;
    const double w = 2.0 * M_PI * freq / rate;
    for (int64_t i = from; i < from + frames; ++i) {
        const double s = std::sin(w * double(i)), c = std::cos(w * double(i));
        const double x = v[size_t(i * channels + channel)];
        ss += s * s, cc += c * c, sc += s * c, xs += x * s, xc += x * c;
    }
    const double det = ss * cc - sc * sc;
    const double a = (xs * cc - xc * sc) / det, b = (xc * ss - xs * sc) / det;
    return std::hypot(a, b);
}

// Root mean square of values [from, to) (all channels together).
inline double Rms(const std::vector<int32_t>& v, size_t from, size_t to)
{
    double sum = 0;
    for (size_t i = from; i < to; ++i)
        sum += double(v[i]) * v[i];
    return std::sqrt(sum / double(to - from));
}

inline double Db(double ratio) { return 20.0 * std::log10(ratio); }

// A source over `values`, read back whole through `maker`-like wrapping.
inline LSoundSource Over(const std::vector<int32_t>& values, int32_t rate, uint8_t channels,
                         uint32_t maxAmplitude = 0x7FFF0)
{
    return MakeSource<VectorSource>(values, rate, channels, maxAmplitude);
}

} // namespace test
