#pragma once
#include <cmath>
#include <cstdint>

// Four floats worked on lane by lane in plain C++: the portable lane type of the
// decoder's filter-bank kernels (MP3LanesSse2 and MP3LanesAvx are the others).
// Each operation acts on every lane alone, exactly as the same step on a single
// float would, so a kernel gives the same bits whichever lane type runs it.
struct MP3LanesPlain {
    static constexpr int32_t kCount = 4;
    // A constant of the kernels' tables, multiplied into every lane.
    using Coef = float;

    float v[4];

    static MP3LanesPlain Zero() { return {{0.0f, 0.0f, 0.0f, 0.0f}}; }
    static Coef MakeCoef(float x) { return x; }
    // Unaligned.
    static MP3LanesPlain Load(const float* p) { return {{p[0], p[1], p[2], p[3]}}; }
    void Store(float* p) const
    {
        for (int32_t i = 0; i < 4; ++i)
            p[i] = v[i];
    }

    friend MP3LanesPlain operator+(const MP3LanesPlain& a, const MP3LanesPlain& b)
    {
        return {{a.v[0] + b.v[0], a.v[1] + b.v[1], a.v[2] + b.v[2], a.v[3] + b.v[3]}};
    }
    friend MP3LanesPlain operator-(const MP3LanesPlain& a, const MP3LanesPlain& b)
    {
        return {{a.v[0] - b.v[0], a.v[1] - b.v[1], a.v[2] - b.v[2], a.v[3] - b.v[3]}};
    }
    friend MP3LanesPlain operator*(const MP3LanesPlain& a, const MP3LanesPlain& b)
    {
        return {{a.v[0] * b.v[0], a.v[1] * b.v[1], a.v[2] * b.v[2], a.v[3] * b.v[3]}};
    }
    friend MP3LanesPlain operator*(const MP3LanesPlain& a, Coef c)
    {
        return {{a.v[0] * c, a.v[1] * c, a.v[2] * c, a.v[3] * c}};
    }
    friend MP3LanesPlain operator-(const MP3LanesPlain& a) { return {{-a.v[0], -a.v[1], -a.v[2], -a.v[3]}}; }

    // The odd lanes negated: the odd subbands of a group.
    static MP3LanesPlain NegateOdd(const MP3LanesPlain& a) { return {{a.v[0], -a.v[1], a.v[2], -a.v[3]}}; }

    // The lanes in reverse order.
    static MP3LanesPlain Reverse(const MP3LanesPlain& a) { return {{a.v[3], a.v[2], a.v[1], a.v[0]}}; }

    // rows[0..3]: the rows become the columns.
    static void Transpose(MP3LanesPlain* rows)
    {
        for (int32_t i = 0; i < 4; ++i)
            for (int32_t j = i + 1; j < 4; ++j) {
                const float t = rows[i].v[j];
                rows[i].v[j] = rows[j].v[i];
                rows[j].v[i] = t;
            }
    }

    // A float rounded to the nearest integer, ties to even. Corrupt streams can
    // produce any value, so it is first limited to what int32_t holds (a NaN
    // becomes the upper limit).
    static int32_t Round(float x)
    {
        constexpr float kLimit = 2147483520.0f;
        x = x < kLimit ? x : kLimit;
        x = x > -kLimit ? x : -kLimit;
        return int32_t(std::lrintf(x));
    }
    // The lanes rounded, to out[0..3].
    static void StoreRounded(int32_t* out, const MP3LanesPlain& a)
    {
        for (int32_t i = 0; i < 4; ++i)
            out[i] = Round(a.v[i]);
    }
    // Two channels' lanes rounded and interleaved, to out[0..7].
    static void StoreRoundedInterleaved(int32_t* out, const MP3LanesPlain& l, const MP3LanesPlain& r)
    {
        for (int32_t i = 0; i < 4; ++i) {
            out[2 * i] = Round(l.v[i]);
            out[2 * i + 1] = Round(r.v[i]);
        }
    }
};
