#include "devices/LChannelLevels.h"

#include <algorithm>
#include <cmath>

namespace {

// Rounds half away from zero: the half is subtracted below the reference and
// added above it, then the level is clamped to -127..+127.
int8_t RoundLevel(double db, bool belowReference)
{
    const double r = belowReference ? db - 0.5 : db + 0.5;
    return int8_t(std::clamp<int32_t>(int32_t(std::clamp(r, -200.0, 200.0)), -127, 127));
}

} // namespace

int8_t LPowerLevel(const int32_t* values, int32_t frames, int32_t channels, int32_t channel)
{
    if (frames <= 0)
        return -127;
    // Two 32-bit sums: the squares' high parts and their low 13 bits.
    uint32_t high = 0, low = 0;
    for (int32_t f = 0; f < frames; ++f) {
        const int32_t s = std::clamp(values[size_t(f) * size_t(channels) + size_t(channel)], -0x80000, 0x7FFFF);
        const uint32_t x2 = uint32_t((s >> 5) * (s >> 5));
        high += x2 >> 13;
        low += x2 & 8191;
    }
    const uint32_t sum = high + (low >> 13);
    const uint32_t n = uint32_t(frames);
    const uint32_t ms = (sum / n) * 8192 + ((sum % n) * 8192) / n;
    if (ms == 0)
        return -127;
    constexpr uint32_t kReference = 0x800012;
    return RoundLevel(10.0 * std::log10(double(ms) / kReference), ms < kReference);
}

int8_t LPeakLevel(const int32_t* values, int32_t frames, int32_t channels, int32_t channel)
{
    int32_t hi = 0, lo = 0;
    for (int32_t f = 0; f < frames; ++f) {
        const int32_t s = values[size_t(f) * size_t(channels) + size_t(channel)];
        hi = std::max(hi, s);
        lo = std::min(lo, s);
    }
    const int64_t p = std::max<int64_t>(hi, -int64_t(lo));
    if (p == 0)
        return -127;
    constexpr int64_t kReference = 0x20000;
    return RoundLevel(20.0 * std::log10(double(p) / kReference), p < kReference);
}

void LPowerLevels(const int32_t* values, int32_t frames, int32_t channels, LChannelLevels& levels)
{
    levels.count = uint8_t(channels);
    for (int32_t c = 0; c < channels; ++c)
        levels.level[size_t(c)] = LPowerLevel(values, frames, channels, c);
}

void LPeakLevels(const int32_t* values, int32_t frames, int32_t channels, LChannelLevels& levels)
{
    levels.count = uint8_t(channels);
    for (int32_t c = 0; c < channels; ++c)
        levels.level[size_t(c)] = LPeakLevel(values, frames, channels, c);
}
