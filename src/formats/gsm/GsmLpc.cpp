#include "formats/gsm/GsmLpc.h"

#include "formats/gsm/GsmMath.h"
#include "formats/gsm/GsmTables.h"

namespace gsm610 {

namespace {

// Autocorrelation for lags 0..8 on a copy of the frame scaled down so that the
// sums cannot overflow (at most 11 significant bits per sample).
void Autocorrelation(int16_t* s, int32_t* acf)
{
    int16_t smax = 0;
    for (int32_t k = 0; k < kFrameSamples; ++k) {
        int16_t a = Abs(s[k]);
        if (a > smax)
            smax = a;
    }
    int32_t scale = smax == 0 ? 0 : 4 - Norm(int32_t(smax) << 16);
    if (scale > 0) {
        int16_t factor = int16_t(16384 >> (scale - 1));
        for (int32_t k = 0; k < kFrameSamples; ++k)
            s[k] = MultR(s[k], factor);
    }
    // Products of 11-bit values summed over 160 samples fit in 31 bits, so plain
    // integer sums equal the saturating ones.
    for (int32_t lag = 0; lag <= 8; ++lag) {
        int32_t sum = 0;
        for (int32_t i = lag; i < kFrameSamples; ++i)
            sum += int32_t(s[i]) * int32_t(s[i - lag]);
        acf[lag] = sum * 2;
    }
    if (scale > 0) {
        for (int32_t k = 0; k < kFrameSamples; ++k)
            s[k] = int16_t(s[k] * (1 << scale));
    }
}

// Schur recursion: reflection coefficients r[0..7] from the autocorrelation.
void ReflectionCoefficients(const int32_t* lacf, int16_t* r)
{
    if (lacf[0] == 0) {
        for (int32_t i = 0; i < 8; ++i)
            r[i] = 0;
        return;
    }
    int32_t shift = Norm(lacf[0]);
    int16_t acf[9];
    for (int32_t k = 0; k <= 8; ++k)
        acf[k] = int16_t(LShl(lacf[k], shift) >> 16);
    // P and K keep the standard's indices: P[0..8], K[2..8].
    int16_t p[9];
    int16_t kk[9];
    for (int32_t i = 1; i <= 7; ++i)
        kk[9 - i] = acf[i];
    for (int32_t i = 0; i <= 8; ++i)
        p[i] = acf[i];
    for (int32_t n = 1; n <= 8; ++n) {
        if (p[0] < Abs(p[1])) {
            for (int32_t i = n; i <= 8; ++i)
                r[i - 1] = 0;
            return;
        }
        int16_t rn = Div(Abs(p[1]), p[0]);
        if (p[1] > 0)
            rn = Sub(0, rn);
        r[n - 1] = rn;
        if (n == 8)
            return;
        p[0] = Add(p[0], MultR(p[1], rn));
        for (int32_t m = 1; m <= 8 - n; ++m) {
            p[m] = Add(p[m + 1], MultR(kk[9 - m], rn));
            kk[9 - m] = Add(kk[9 - m], MultR(p[m + 1], rn));
        }
    }
}

// Reflection coefficients to log-area ratios (piecewise-linear approximation).
void ReflectionToLar(const int16_t* r, int16_t* lar)
{
    for (int32_t i = 0; i < 8; ++i) {
        int16_t t = Abs(r[i]);
        if (t < 22118)
            t = int16_t(t >> 1);
        else if (t < 31130)
            t = int16_t(t - 11059);
        else
            t = int16_t((t - 26112) * 4);
        lar[i] = r[i] < 0 ? Sub(0, t) : t;
    }
}

void QuantizeLar(const int16_t* lar, int16_t* larc)
{
    for (int32_t i = 0; i < 8; ++i) {
        int16_t t = Mult(kLarA[i], lar[i]);
        t = Add(t, kLarB[i]);
        t = Add(t, 256);
        int16_t c = int16_t(t >> 9);
        if (c > kLarMac[i])
            c = kLarMac[i];
        if (c < kLarMic[i])
            c = kLarMic[i];
        larc[i] = int16_t(c - kLarMic[i]);
    }
}

} // namespace

void LpcAnalysis(int16_t* s, int16_t* larc)
{
    int32_t acf[9];
    int16_t r[8];
    int16_t lar[8];
    Autocorrelation(s, acf);
    ReflectionCoefficients(acf, r);
    ReflectionToLar(r, lar);
    QuantizeLar(lar, larc);
}

void DecodeLar(const int16_t* larc, int16_t* larpp)
{
    for (int32_t i = 0; i < 8; ++i) {
        int16_t t1 = int16_t(Add(larc[i], kLarMic[i]) * 1024);
        int16_t t2 = int16_t(kLarB[i] * 2);
        t1 = Sub(t1, t2);
        t1 = MultR(kLarInvA[i], t1);
        larpp[i] = Add(t1, t1);
    }
}

void InterpolatedReflection(const int16_t* previous, const int16_t* current, int32_t stretch, int16_t* rp)
{
    for (int32_t i = 0; i < 8; ++i) {
        int16_t o = previous[i];
        int16_t c = current[i];
        int16_t larp;
        switch (stretch) {
        case 0: larp = Add(Add(int16_t(o >> 2), int16_t(c >> 2)), int16_t(o >> 1)); break;
        case 1: larp = Add(int16_t(o >> 1), int16_t(c >> 1)); break;
        case 2: larp = Add(Add(int16_t(o >> 2), int16_t(c >> 2)), int16_t(c >> 1)); break;
        default: larp = c; break;
        }
        // Log-area ratio back to a reflection coefficient.
        int16_t t = Abs(larp);
        if (t < 11059)
            t = int16_t(t << 1);
        else if (t < 20070)
            t = Add(t, 11059);
        else
            t = Add(int16_t(t >> 2), 26112);
        rp[i] = larp < 0 ? Sub(0, t) : t;
    }
}

} // namespace gsm610
