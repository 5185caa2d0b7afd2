#pragma once
#include <cstdint>
#include <vector>

#include "core/LSoundSource.h"
#include "edit/LCutListAudio.h"

// Frames analysed for each spectrum and the bins kept of them.
inline constexpr int32_t kSpectrumFrames = 4096;
inline constexpr int32_t kSpectrumBins = 2048;

// A spectrum handed to the frequency window: signed dB levels (-127..+127,
// -127 also meaning silence) for bins 0..2047 of the first channel, followed
// by those of the second when `twoChannels`.
struct LSpectrumBlock {
    int32_t sampleRate = 44100;
    bool twoChannels = false;
    std::vector<int8_t> levels = std::vector<int8_t>(kSpectrumBins, -127);

    int8_t Level(int32_t channel, int32_t bin) const { return levels[size_t(channel * kSpectrumBins + bin)]; }
};

// Frequency of bin k: k * rate / 4096, truncated.
int32_t SpectrumBinFrequency(int32_t bin, int32_t rate);
// Bin of a frequency: min(f * 4096 / rate, 2047); 0 when the rate is not positive.
int32_t SpectrumFrequencyBin(int32_t frequency, int32_t rate);
// dB of a bin's magnitude: 20 log10(|x| / 92682), rounded half away from zero,
// clamped to -127..127; -127 for 0.
int8_t SpectrumLevel(double re, double im);

// The spectrum of the next 4096 frames of `source` (read from its position):
// each channel windowed by 0.54 - 0.46 cos(i * 6.284 / 4096), transformed and
// scaled by 1/4096, so that a full-scale sine reads about +4 dB and the 128 dB
// of the window's height reach down to the floor of 16-bit audio.
LSpectrumBlock ComputeSpectrum(LSoundSourceBase& source);
// The spectrum of a document's audio at `cursor`.
LSpectrumBlock ComputeSpectrum(const LCutListAudio& audio, int32_t cursor);
