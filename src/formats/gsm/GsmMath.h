#pragma once
#include <cstdint>

// The fixed-point primitives the GSM 06.10 arithmetic is defined with: 16-bit
// words and 32-bit longs, saturating where the codec saturates, rounding where it
// rounds. The codec is only bit-exact with other implementations if every step
// uses exactly these, so the encoder and decoder never use plain C++ arithmetic
// where one of these is meant.
namespace gsm610 {

inline int16_t Saturate(int32_t v)
{
    return int16_t(v < -32768 ? -32768 : (v > 32767 ? 32767 : v));
}

inline int16_t Add(int16_t a, int16_t b) { return Saturate(int32_t(a) + int32_t(b)); }
inline int16_t Sub(int16_t a, int16_t b) { return Saturate(int32_t(a) - int32_t(b)); }

// a * b / 32768, truncated; the one product that does not fit gives 32767.
inline int16_t Mult(int16_t a, int16_t b)
{
    if (a == -32768 && b == -32768)
        return 32767;
    return int16_t((int32_t(a) * int32_t(b)) >> 15);
}

// a * b / 32768, rounded.
inline int16_t MultR(int16_t a, int16_t b)
{
    if (a == -32768 && b == -32768)
        return 32767;
    return int16_t((int32_t(a) * int32_t(b) + 16384) >> 15);
}

inline int16_t Abs(int16_t a) { return a >= 0 ? a : (a == -32768 ? int16_t(32767) : int16_t(-a)); }

// 2 * a * b as a 32-bit long.
inline int32_t LMult(int16_t a, int16_t b)
{
    int32_t p = int32_t(a) * int32_t(b);
    return p == 0x40000000 ? INT32_MAX : p * 2;
}

inline int32_t LAdd(int32_t a, int32_t b)
{
    int64_t s = int64_t(a) + int64_t(b);
    return int32_t(s < INT32_MIN ? INT32_MIN : (s > INT32_MAX ? INT32_MAX : s));
}

// Left shifts that bring a nonzero long to its normal form (bit 30 differing from
// bit 31). Callers never pass 0.
inline int32_t Norm(int32_t a)
{
    uint32_t v = a < 0 ? ~uint32_t(a) : uint32_t(a);
    return v == 0 ? 31 : __builtin_clz(v) - 1;
}

// Shifts of a 16-bit word where a negative count shifts the other way.
inline int16_t Asr(int16_t a, int32_t n)
{
    if (n >= 16)
        return a < 0 ? int16_t(-1) : int16_t(0);
    if (n <= -16)
        return 0;
    if (n < 0)
        return int16_t(uint16_t(uint32_t(int32_t(a)) << -n));
    return int16_t(a >> n);
}

inline int16_t Asl(int16_t a, int32_t n)
{
    if (n >= 16)
        return 0;
    if (n <= -16)
        return a < 0 ? int16_t(-1) : int16_t(0);
    if (n < 0)
        return int16_t(a >> -n);
    return int16_t(uint16_t(uint32_t(int32_t(a)) << n));
}

// 32-bit left shift whose result is known to fit.
inline int32_t LShl(int32_t a, int32_t n) { return int32_t(uint32_t(a) << n); }

// num / denum as a 15-bit fraction, by restoring division; needs 0 <= num <= denum.
inline int16_t Div(int16_t num, int16_t denum)
{
    int32_t n = num;
    int32_t d = denum;
    int32_t q = 0;
    for (int32_t k = 0; k < 15; ++k) {
        q <<= 1;
        n <<= 1;
        if (n >= d) {
            n -= d;
            q += 1;
        }
    }
    return int16_t(q);
}

} // namespace gsm610
