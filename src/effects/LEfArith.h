#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>

// Small arithmetic shared by the filters of this folder.

// A 64-bit intermediate brought back into the 32-bit sample range. The filters
// do not clip to 16-bit full scale (the pump's peak limiter does); this only
// keeps a runaway sum from wrapping to the opposite sign.
inline int32_t EfSaturate32(int64_t v)
{
    return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

// Frames in `ms` milliseconds at `rate`, split as (ms/1000)*rate +
// ((ms%1000)*rate)/1000 so that whole seconds lose nothing to rounding.
inline int64_t EfMsToFrames(int32_t ms, int32_t rate)
{
    return int64_t(ms / 1000) * rate + (int64_t(ms % 1000) * rate) / 1000;
}

// The coefficient of the one-pole filters, in units of 1/256:
// floor((1 - e^(-twoPiF / rate)) * 256), where twoPiF is 2*pi times the corner
// frequency in Hz. Kept within 0..256, where the filter stays stable: a corner
// at or below 0 Hz passes everything, one far above the rate differentiates.
inline int32_t EfOnePoleCoefficient(double twoPiF, int32_t rate)
{
    const double a = std::floor((1.0 - std::exp(-twoPiF / double(std::max(rate, 1)))) * 256.0);
    if (!(a > 0.0))
        return 0;
    return a >= 256.0 ? 256 : int32_t(a);
}
