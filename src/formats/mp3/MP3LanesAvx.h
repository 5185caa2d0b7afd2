#pragma once
#if defined(__AVX__)
#include <immintrin.h>

#include <cstdint>

// Eight floats in one AVX register, with the operations of MP3LanesPlain: lane
// for lane the same IEEE single-precision steps, so the results are the same bits.
// Only code compiled for AVX may include this (see MP3KernelsAvx.cpp).
struct MP3LanesAvx {
    static constexpr int32_t kCount = 8;
    // Table constants stay single floats: a broadcast load costs no more than a load.
    using Coef = float;

    __m256 v;

    static MP3LanesAvx Zero() { return {_mm256_setzero_ps()}; }
    static Coef MakeCoef(float x) { return x; }
    static MP3LanesAvx Load(const float* p) { return {_mm256_loadu_ps(p)}; }
    void Store(float* p) const { _mm256_storeu_ps(p, v); }

    friend MP3LanesAvx operator+(const MP3LanesAvx& a, const MP3LanesAvx& b) { return {_mm256_add_ps(a.v, b.v)}; }
    friend MP3LanesAvx operator-(const MP3LanesAvx& a, const MP3LanesAvx& b) { return {_mm256_sub_ps(a.v, b.v)}; }
    friend MP3LanesAvx operator*(const MP3LanesAvx& a, const Coef& c)
    {
        return {_mm256_mul_ps(a.v, _mm256_broadcast_ss(&c))};
    }
    friend MP3LanesAvx operator-(const MP3LanesAvx& a) { return {_mm256_xor_ps(a.v, _mm256_set1_ps(-0.0f))}; }

    static MP3LanesAvx NegateOdd(const MP3LanesAvx& a)
    {
        return {_mm256_xor_ps(a.v, _mm256_setr_ps(0.0f, -0.0f, 0.0f, -0.0f, 0.0f, -0.0f, 0.0f, -0.0f))};
    }

    // rows[0..7]: the rows become the columns.
    static void Transpose(MP3LanesAvx* rows)
    {
        __m256 t[8], u[8];
        for (int32_t i = 0; i < 8; i += 2) {
            t[i] = _mm256_unpacklo_ps(rows[i].v, rows[i + 1].v);
            t[i + 1] = _mm256_unpackhi_ps(rows[i].v, rows[i + 1].v);
        }
        for (int32_t i = 0; i < 8; i += 4) {
            u[i] = _mm256_shuffle_ps(t[i], t[i + 2], 0x44);
            u[i + 1] = _mm256_shuffle_ps(t[i], t[i + 2], 0xEE);
            u[i + 2] = _mm256_shuffle_ps(t[i + 1], t[i + 3], 0x44);
            u[i + 3] = _mm256_shuffle_ps(t[i + 1], t[i + 3], 0xEE);
        }
        for (int32_t i = 0; i < 4; ++i) {
            rows[i].v = _mm256_permute2f128_ps(u[i], u[i + 4], 0x20);
            rows[i + 4].v = _mm256_permute2f128_ps(u[i], u[i + 4], 0x31);
        }
    }

    // As MP3LanesSse2::Round, eight at a time.
    static __m256 Round(__m256 x)
    {
        const __m256 limit = _mm256_set1_ps(2147483520.0f);
        x = _mm256_min_ps(x, limit);
        x = _mm256_max_ps(x, _mm256_xor_ps(limit, _mm256_set1_ps(-0.0f)));
        return _mm256_castsi256_ps(_mm256_cvtps_epi32(x));
    }
    static void StoreRounded(int32_t* out, const MP3LanesAvx& a)
    {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_castps_si256(Round(a.v)));
    }
    static void StoreRoundedInterleaved(int32_t* out, const MP3LanesAvx& l, const MP3LanesAvx& r)
    {
        // The integers move as float bit patterns: AVX has no 256-bit integer unpack.
        const __m256 a = Round(l.v), b = Round(r.v);
        const __m256 lo = _mm256_unpacklo_ps(a, b), hi = _mm256_unpackhi_ps(a, b);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_castps_si256(_mm256_permute2f128_ps(lo, hi, 0x20)));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 8),
                            _mm256_castps_si256(_mm256_permute2f128_ps(lo, hi, 0x31)));
    }
};
#endif
