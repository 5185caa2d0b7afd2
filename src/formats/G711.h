#pragma once
#include <array>
#include <cstdint>

// ITU-T G.711 mu-law and A-law on the stream scale: every level of the standard's
// 16-bit tables is multiplied by 16 (16-bit full scale is 0x7FFF0), so a code byte
// expands straight into a stream sample and a stream sample compresses without
// first being cut to 16 bits. Segment n of mu-law starts at 16 * (128 * 2^n - 132)
// and expands to 16 * (132 * 2^n - 132) for mantissa 0.

inline constexpr int32_t MuLawExpand(uint8_t code)
{
    constexpr int32_t kBase[8] = {0, 2112, 6336, 14784, 31680, 65472, 133056, 268224};
    uint8_t c = uint8_t(~code);
    int32_t segment = (c >> 4) & 7;
    int32_t magnitude = ((c & 15) << (segment + 7)) + kBase[segment];
    return (c & 0x80) ? -magnitude : magnitude;
}

inline constexpr int32_t ALawExpand(uint8_t code)
{
    constexpr int32_t kBase[8] = {128, 4224, 8448, 16896, 33792, 67584, 135168, 270336};
    constexpr int32_t kStep[8] = {256, 256, 512, 1024, 2048, 4096, 8192, 16384};
    uint8_t c = uint8_t(code ^ 0x55);
    int32_t segment = (c >> 4) & 7;
    int32_t magnitude = kBase[segment] + kStep[segment] * (c & 15);
    return (c & 0x80) ? magnitude : -magnitude;
}

// Expansion tables, one stream sample per code byte.
inline constexpr std::array<int32_t, 256> kMuLawToSample = [] {
    std::array<int32_t, 256> t{};
    for (int32_t i = 0; i < 256; ++i)
        t[size_t(i)] = MuLawExpand(uint8_t(i));
    return t;
}();
inline constexpr std::array<int32_t, 256> kALawToSample = [] {
    std::array<int32_t, 256> t{};
    for (int32_t i = 0; i < 256; ++i)
        t[size_t(i)] = ALawExpand(uint8_t(i));
    return t;
}();

// Compression of a stream sample. Segments are chosen by the magnitude's lower
// bounds on the stream scale; a mantissa beyond 15 (input above full scale) is 15.
inline uint8_t MuLawCompress(int32_t v)
{
    constexpr int32_t kBound[8] = {0, 1984, 6080, 14272, 30656, 63424, 128960, 260032};
    uint8_t sign = v < 0 ? 0x80 : 0;
    int64_t magnitude = v < 0 ? -int64_t(v) : int64_t(v);
    int32_t segment = 7;
    while (segment > 0 && magnitude < kBound[segment])
        --segment;
    int64_t mantissa = (magnitude - kBound[segment]) >> (segment + 7);
    if (mantissa > 15)
        mantissa = 15;
    return uint8_t(~(sign | (segment << 4) | int32_t(mantissa)));
}

inline uint8_t ALawCompress(int32_t v)
{
    constexpr int32_t kBound[8] = {0, 4096, 8192, 16384, 32768, 65536, 131072, 262144};
    constexpr int32_t kStepShift[8] = {8, 8, 9, 10, 11, 12, 13, 14};
    uint8_t sign = v >= 0 ? 0x80 : 0;
    int64_t magnitude = v < 0 ? -int64_t(v) : int64_t(v);
    int32_t segment = 7;
    while (segment > 0 && magnitude < kBound[segment])
        --segment;
    int64_t mantissa = (magnitude - kBound[segment]) >> kStepShift[segment];
    if (mantissa > 15)
        mantissa = 15;
    return uint8_t((sign | (segment << 4) | int32_t(mantissa)) ^ 0x55);
}
