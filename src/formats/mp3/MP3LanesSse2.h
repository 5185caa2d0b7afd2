#pragma once
#if defined(__SSE2__)
#include <emmintrin.h>

#include <cstdint>

// Four floats in one SSE2 register, with the operations of MP3LanesPlain: lane for
// lane the same IEEE single-precision steps, so the results are the same bits.
struct MP3LanesSse2 {
    static constexpr int32_t kCount = 4;
    // Table constants are stored spread over the lanes: SSE2 has no broadcast load.
    using Coef = MP3LanesSse2;

    __m128 v;

    static MP3LanesSse2 Zero() { return {_mm_setzero_ps()}; }
    static Coef MakeCoef(float x) { return {_mm_set1_ps(x)}; }
    static MP3LanesSse2 Load(const float* p) { return {_mm_loadu_ps(p)}; }
    void Store(float* p) const { _mm_storeu_ps(p, v); }

    friend MP3LanesSse2 operator+(const MP3LanesSse2& a, const MP3LanesSse2& b) { return {_mm_add_ps(a.v, b.v)}; }
    friend MP3LanesSse2 operator-(const MP3LanesSse2& a, const MP3LanesSse2& b) { return {_mm_sub_ps(a.v, b.v)}; }
    friend MP3LanesSse2 operator*(const MP3LanesSse2& a, const MP3LanesSse2& b) { return {_mm_mul_ps(a.v, b.v)}; }
    // Negation flips the sign bit, as the scalar minus does.
    friend MP3LanesSse2 operator-(const MP3LanesSse2& a) { return {_mm_xor_ps(a.v, _mm_set1_ps(-0.0f))}; }

    static MP3LanesSse2 NegateOdd(const MP3LanesSse2& a)
    {
        return {_mm_xor_ps(a.v, _mm_setr_ps(0.0f, -0.0f, 0.0f, -0.0f))};
    }

    static MP3LanesSse2 Reverse(const MP3LanesSse2& a) { return {_mm_shuffle_ps(a.v, a.v, 0x1B)}; }

    static void Transpose(MP3LanesSse2* rows) { _MM_TRANSPOSE4_PS(rows[0].v, rows[1].v, rows[2].v, rows[3].v); }

    // minps and maxps return their second operand for a NaN, as the scalar limits
    // do; cvtps2dq rounds to nearest even like lrintf.
    static __m128i Round(__m128 x)
    {
        const __m128 limit = _mm_set1_ps(2147483520.0f);
        x = _mm_min_ps(x, limit);
        x = _mm_max_ps(x, _mm_xor_ps(limit, _mm_set1_ps(-0.0f)));
        return _mm_cvtps_epi32(x);
    }
    static void StoreRounded(int32_t* out, const MP3LanesSse2& a)
    {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), Round(a.v));
    }
    static void StoreRoundedInterleaved(int32_t* out, const MP3LanesSse2& l, const MP3LanesSse2& r)
    {
        const __m128i a = Round(l.v), b = Round(r.v);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi32(a, b));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4), _mm_unpackhi_epi32(a, b));
    }
};
#endif
