#pragma once
#include <array>
#include <cstdint>

// Per-channel levels in whole decibels, -127..+127, where -127 also stands for
// digital silence. What the player and recorder report for the level meters.
struct LChannelLevels {
    uint8_t count = 0;
    std::array<int8_t, 256> level{};
    friend bool operator==(const LChannelLevels&, const LChannelLevels&) = default;
};

// The player's level of channel `channel` over `frames` interleaved frames of
// native samples: the power of the samples shifted right by 5, in dB relative
// to 0x800012 (so a full-scale sine reads about +12), computed in 32-bit
// integers without overflow for up to 8192 frames. Silence gives -127.
int8_t LPowerLevel(const int32_t* values, int32_t frames, int32_t channels, int32_t channel);
// The recorder's level: the peak magnitude in dB relative to 0x20000 (a
// full-scale 16-bit sample reads about +12). Silence gives -127.
int8_t LPeakLevel(const int32_t* values, int32_t frames, int32_t channels, int32_t channel);
// Both levels of every channel into `levels` (count = channels).
void LPowerLevels(const int32_t* values, int32_t frames, int32_t channels, LChannelLevels& levels);
void LPeakLevels(const int32_t* values, int32_t frames, int32_t channels, LChannelLevels& levels);

// A native sample as a 16-bit device sample: (s + 8) >> 4, clamped so that
// values just past full scale cannot wrap.
inline int16_t LNativeTo16(int32_t s)
{
    s = s < -0x80000 ? -0x80000 : s > 0x7FFF7 ? 0x7FFF7 : s;
    return int16_t((s + 8) >> 4);
}
