#pragma once
#include <cstdint>

// Q24 gains: signed 32-bit fixed point with 24 fraction bits.
inline constexpr int32_t kQ24Unity = 0x1000000;

// x * g / 2^24 in the split form every effect uses:
//   (x>>12)*(g>>12) + (((x&0xFFF)*(g>>12))>>12) + (((x>>12)*(g&0xFFF))>>12)
// The first product and the sum wrap at 32 bits exactly as 32-bit hardware does;
// the wrap is computed explicitly so that it is defined behaviour.
inline int32_t Q24Mul(int32_t x, int32_t g)
{
    int32_t xh = x >> 12;
    int32_t gh = g >> 12;
    int64_t hi = int64_t(xh) * gh;
    int64_t mid = (int64_t(x & 0xFFF) * gh) >> 12;
    int64_t lo = (int64_t(xh) * (g & 0xFFF)) >> 12;
    return int32_t(uint32_t(uint64_t(hi + mid + lo)));
}
