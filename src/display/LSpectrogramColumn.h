#pragma once
#include <cstdint>
#include <vector>

// FFT sizes a spectrogram may use (powers of two) and the one it starts with.
inline constexpr int32_t kSpectrogramMinFFT = 256;
inline constexpr int32_t kSpectrogramMaxFFT = 8192;
inline constexpr int32_t kSpectrogramDefaultFFT = 2048;
// Level 0 is this many dB below a full-scale sine, level 255 the sine itself:
// our samples carry 20 bits, about 120 dB.
inline constexpr int32_t kSpectrogramFloorDb = -120;

// The spectrum of one spectrogram column: a level 0..255 (kSpectrogramFloorDb
// to 0 dBFS, linear in dB) for each bin 0 .. fftSize / 2 of each channel.
// Immutable once made; shared between the cache and the pictures painted from it.
struct LSpectrogramColumn {
    int32_t bins = 0;
    int32_t channels = 0;
    std::vector<uint8_t> levels;  // channel after channel, `bins` levels each

    uint8_t Level(int32_t channel, int32_t bin) const { return levels[size_t(channel) * size_t(bins) + size_t(bin)]; }
};
