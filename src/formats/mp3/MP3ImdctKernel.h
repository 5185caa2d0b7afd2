#pragma once
#include <cmath>
#include <cstdint>

#include "formats/mp3/MP3Imdct.h"

// The IMDCT of MP3Imdct::Run written on a lane type (MP3LanesPlain, MP3LanesSse2,
// MP3LanesAvx): Lanes::kCount subbands at a time, one per lane, each lane taking
// exactly the steps of a single subband. Included by the files that instantiate
// it; uses nothing but the lane type, <cmath> and constants, so that the instance compiled for
// AVX shares no code with the others.
template <class Lanes>
class MP3ImdctKernel {
public:
    static void Run(const float* lines, int32_t blockType, bool mixed, int32_t longSubbands,
                    int32_t activeSubbands, float* overlap, float* out, int32_t firstSlot);

private:
    static constexpr int32_t kWidth = Lanes::kCount;
    static constexpr int32_t kRowStride = MP3Imdct::kRowStride;
    using Coef = typename Lanes::Coef;

    struct Tables {
        Coef dct18[3][18][6];  // [m / 6][k][m % 6]: cos(pi (2m+1)(2k+1) / 72)
        Coef longWindow[4][36];
        Coef short12[6][12];   // [k][i]: window(i) * cos(pi (2i+7)(2k+1) / 24)
        Tables();
    };
    static const Tables& GetTables()
    {
        static const Tables tables;
        return tables;
    }

    // One group of subbands: x[k] holds line k of each, ov[t] and out[t] time t.
    static void Long(const Tables& t, const Lanes* x, int32_t blockType, Lanes* ov, Lanes* out);
    static void Short(const Tables& t, const Lanes* x, Lanes* ov, Lanes* out);
};

template <class Lanes>
MP3ImdctKernel<Lanes>::Tables::Tables()
{
    const double pi = 3.14159265358979323846;
    for (int32_t m = 0; m < 18; ++m)
        for (int32_t k = 0; k < 18; ++k)
            dct18[m / 6][k][m % 6] = Lanes::MakeCoef(float(std::cos(pi * (2 * m + 1) * (2 * k + 1) / 72.0)));
    for (int32_t i = 0; i < 36; ++i) {
        double normal = std::sin(pi / 36.0 * (i + 0.5));
        longWindow[0][i] = Lanes::MakeCoef(float(normal));
        longWindow[2][i] = Lanes::MakeCoef(float(normal));  // unused: short blocks have their own path
        // Start block: long rise, flat, short fall, zeros.
        double start = i < 18 ? normal : i < 24 ? 1.0 : i < 30 ? std::sin(pi / 12.0 * (i - 18 + 0.5)) : 0.0;
        // Stop block: zeros, short rise, flat, long fall.
        double stop = i < 6 ? 0.0 : i < 12 ? std::sin(pi / 12.0 * (i - 6 + 0.5)) : i < 18 ? 1.0 : normal;
        longWindow[1][i] = Lanes::MakeCoef(float(start));
        longWindow[3][i] = Lanes::MakeCoef(float(stop));
    }
    for (int32_t k = 0; k < 6; ++k)
        for (int32_t i = 0; i < 12; ++i)
            short12[k][i] = Lanes::MakeCoef(
                float(std::sin(pi / 12.0 * (i + 0.5)) * std::cos(pi * (2 * i + 7) * (2 * k + 1) / 24.0)));
}

template <class Lanes>
void MP3ImdctKernel<Lanes>::Run(const float* lines, int32_t blockType, bool mixed, int32_t longSubbands,
                                int32_t activeSubbands, float* overlap, float* out, int32_t firstSlot)
{
    const Tables& tables = GetTables();
    // Silent subbands are skipped in eights whatever the lane width, so that every
    // lane type takes the same steps: a silent subband run through the transform
    // differs from a skipped one in the sign of its zeros.
    const int32_t computed = (activeSubbands + 7) & ~7;
    for (int32_t sb0 = 0; sb0 < 32; sb0 += kWidth) {
        Lanes ov[18], o[18 + kWidth];
        float* ovp = overlap + sb0;
        for (int32_t t = 0; t < 18; ++t)
            ov[t] = Lanes::Load(ovp + t * 32);
        if (sb0 >= computed) {
            // No signal: only the previous granule's tail remains.
            for (int32_t t = 0; t < 18; ++t) {
                o[t] = ov[t];
                Lanes::Zero().Store(ovp + t * 32);
            }
        } else {
            // Line k of the group's subbands side by side, a square block at a
            // time; the last block ends at line 17 and may repeat lines before it.
            Lanes x[18];
            for (int32_t k0 = 0;; k0 += kWidth) {
                if (k0 > 18 - kWidth)
                    k0 = 18 - kWidth;
                Lanes block[kWidth];
                for (int32_t q = 0; q < kWidth; ++q)
                    block[q] = Lanes::Load(lines + (sb0 + q) * 18 + k0);
                Lanes::Transpose(block);
                for (int32_t q = 0; q < kWidth; ++q)
                    x[k0 + q] = block[q];
                if (k0 == 18 - kWidth)
                    break;
            }
            int32_t longLanes = blockType != 2 ? kWidth : mixed ? longSubbands - sb0 : 0;
            longLanes = longLanes < 0 ? 0 : longLanes > kWidth ? kWidth : longLanes;
            if (longLanes == kWidth) {
                Long(tables, x, blockType == 2 ? 0 : blockType, ov, o);
            } else if (longLanes == 0) {
                Short(tables, x, ov, o);
            } else {
                // The long/short boundary of a mixed block falls inside this group:
                // run both and keep each lane's own.
                Lanes ovLong[18], oLong[18];
                for (int32_t t = 0; t < 18; ++t)
                    ovLong[t] = ov[t];
                Long(tables, x, 0, ovLong, oLong);
                Short(tables, x, ov, o);
                for (int32_t t = 0; t < 18; ++t) {
                    float a[kWidth], b[kWidth], c[kWidth], d[kWidth];
                    ovLong[t].Store(a), oLong[t].Store(b), ov[t].Store(c), o[t].Store(d);
                    for (int32_t q = 0; q < longLanes; ++q)
                        c[q] = a[q], d[q] = b[q];
                    ov[t] = Lanes::Load(c), o[t] = Lanes::Load(d);
                }
            }
            for (int32_t t = 0; t < 18; ++t)
                ov[t].Store(ovp + t * 32);
        }
        // Frequency inversion: odd time samples of odd subbands change sign.
        for (int32_t t = 1; t < 18; t += 2)
            o[t] = Lanes::NegateOdd(o[t]);
        for (int32_t t = 18; t < 18 + kWidth; ++t)
            o[t] = Lanes::Zero();
        // Back to one row per subband.
        float* row = out + sb0 * kRowStride + firstSlot;
        for (int32_t t0 = 0; t0 < 18; t0 += kWidth) {
            Lanes::Transpose(o + t0);
            for (int32_t q = 0; q < kWidth; ++q)
                o[t0 + q].Store(row + q * kRowStride + t0);
        }
    }
}

template <class Lanes>
void MP3ImdctKernel<Lanes>::Long(const Tables& t, const Lanes* x, int32_t blockType, Lanes* ov, Lanes* out)
{
    // 18-point DCT-IV; the 36 IMDCT outputs are its values with symmetric signs.
    // Six sums at a time share each input load; every sum still adds its terms in
    // the order k = 0..17.
    Lanes c[18];
    for (int32_t m0 = 0; m0 < 18; m0 += 6) {
        Lanes s0 = Lanes::Zero(), s1 = s0, s2 = s0, s3 = s0, s4 = s0, s5 = s0;
        const Coef(*d)[6] = t.dct18[m0 / 6];
        for (int32_t k = 0; k < 18; ++k) {
            const Lanes xk = x[k];
            s0 = s0 + xk * d[k][0];
            s1 = s1 + xk * d[k][1];
            s2 = s2 + xk * d[k][2];
            s3 = s3 + xk * d[k][3];
            s4 = s4 + xk * d[k][4];
            s5 = s5 + xk * d[k][5];
        }
        c[m0] = s0, c[m0 + 1] = s1, c[m0 + 2] = s2, c[m0 + 3] = s3, c[m0 + 4] = s4, c[m0 + 5] = s5;
    }
    const Coef* w = t.longWindow[blockType & 3];
    for (int32_t i = 0; i < 9; ++i)
        out[i] = c[i + 9] * w[i] + ov[i];
    for (int32_t i = 9; i < 18; ++i)
        out[i] = -c[26 - i] * w[i] + ov[i];
    for (int32_t i = 18; i < 27; ++i)
        ov[i - 18] = -c[26 - i] * w[i];
    for (int32_t i = 27; i < 36; ++i)
        ov[i - 18] = -c[i - 27] * w[i];
}

template <class Lanes>
void MP3ImdctKernel<Lanes>::Short(const Tables& t, const Lanes* x, Lanes* ov, Lanes* out)
{
    Lanes z[36];
    for (Lanes& v : z)
        v = Lanes::Zero();
    for (int32_t win = 0; win < 3; ++win) {
        Lanes y[12];
        for (Lanes& v : y)
            v = Lanes::Zero();
        for (int32_t k = 0; k < 6; ++k) {
            const Lanes xk = x[3 * k + win];
            for (int32_t i = 0; i < 12; ++i)
                y[i] = y[i] + xk * t.short12[k][i];
        }
        Lanes* dst = z + 6 + 6 * win;
        for (int32_t i = 0; i < 12; ++i)
            dst[i] = dst[i] + y[i];
    }
    for (int32_t i = 0; i < 18; ++i) {
        out[i] = z[i] + ov[i];
        ov[i] = z[i + 18];
    }
}
