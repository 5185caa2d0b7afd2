#pragma once
#include <cstdint>

// Conversions between file PCM and the stream representation, where a 16-bit sample
// p is carried as p * 16 (full scale 0x7FFF0) and an unsigned 8-bit byte b as
// (b - 128) * 4096. Each function converts `count` values (frames * channels).

inline constexpr int32_t kFullScale16 = 0x7FFF0;

void SamplesFromPcm16(int32_t* dst, const int16_t* src, int32_t count);
// Rounds to nearest; stores the low 16 bits (callers pass values within +-0x7FFF0).
void SamplesToPcm16(int16_t* dst, const int32_t* src, int32_t count);
void SamplesFromPcm8(int32_t* dst, const uint8_t* src, int32_t count);
// Rounds to nearest and limits the result to 255.
void SamplesToPcm8(uint8_t* dst, const int32_t* src, int32_t count);

// Little-endian 16-bit samples from raw bytes, for readers that fill byte buffers.
void SamplesFromPcm16LE(int32_t* dst, const uint8_t* src, int32_t count);
void SamplesToPcm16LE(uint8_t* dst, const int32_t* src, int32_t count);

// The mono value of a stereo frame: the mean of both channels, rounded toward
// minus infinity ((left + right) >> 1, summed in 64 bits so that no pair of
// stream values can overflow). Every stereo-to-mono conversion uses it, so a
// document converted, a file saved mono and a batch run give the same samples.
inline constexpr int32_t MixStereoToMono(int32_t left, int32_t right)
{
    return int32_t((int64_t(left) + int64_t(right)) >> 1);
}
