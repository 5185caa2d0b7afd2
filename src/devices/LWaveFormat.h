#pragma once
#include <cstdint>

// The format a wave device is opened with: always 16-bit PCM here.
struct LWaveFormat {
    int32_t rate = 44100;
    uint16_t channels = 1;
    uint16_t bits = 16;

    static LWaveFormat Pcm16(int32_t rate, uint16_t channels) { return {rate, channels, 16}; }
    uint16_t BlockAlign() const { return uint16_t(channels * (bits / 8)); }
    uint32_t AvgBytesPerSec() const { return uint32_t(rate) * BlockAlign(); }
};
