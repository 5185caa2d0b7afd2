#include "formats/gsm/GsmRpe.h"

#include <algorithm>

#include "formats/gsm/GsmMath.h"
#include "formats/gsm/GsmTables.h"

namespace gsm610 {

namespace {

// x[k] = sum of H[i] * e[k + i - 5], e being zero outside the subframe.
void WeightingFilter(const int16_t* e, int16_t* x)
{
    int16_t padded[kSubframeSamples + 10] = {};
    std::copy_n(e, kSubframeSamples, padded + 5);
    for (int32_t k = 0; k < kSubframeSamples; ++k) {
        // The taps sum to under 2^15 in magnitude, so the sum fits in 32 bits;
        // rounding and scaling by 2^-13 with saturation equal the standard's
        // doubled-and-saturated long arithmetic.
        int32_t sum = 4096;
        for (int32_t i = 0; i < 11; ++i)
            sum += int32_t(padded[k + i]) * int32_t(kWeight[i]);
        x[k] = Saturate(sum >> 13);
    }
}

// The grid (0..3) with the most energy, and its 13 samples.
int16_t GridSelection(const int16_t* x, int16_t* xm)
{
    int32_t best = 0;
    int16_t mc = 0;
    for (int32_t m = 0; m < 4; ++m) {
        int32_t sum = 0;
        for (int32_t i = 0; i < kPulses; ++i) {
            int32_t t = x[m + 3 * i] >> 2;
            sum += t * t;
        }
        sum *= 2;
        if (sum > best) {
            mc = int16_t(m);
            best = sum;
        }
    }
    for (int32_t i = 0; i < kPulses; ++i)
        xm[i] = x[mc + 3 * i];
    return mc;
}

// Exponent and mantissa (0..7) of a coded block maximum.
void XmaxcToExpMant(int16_t xmaxc, int16_t& exp, int16_t& mant)
{
    exp = 0;
    if (xmaxc > 15)
        exp = int16_t((xmaxc >> 3) - 1);
    mant = int16_t(xmaxc - (exp << 3));
    if (mant == 0) {
        exp = -4;
        mant = 7;
        return;
    }
    while (mant <= 7) {
        mant = int16_t(mant << 1 | 1);
        --exp;
    }
    mant = int16_t(mant - 8);
}

void InverseApcm(int16_t exp, int16_t mant, const int16_t* xmc, int16_t* xmp)
{
    const int16_t fac = kFac[mant];
    const int16_t shift = Sub(6, exp);
    const int16_t round = Asl(1, Sub(shift, 1));
    for (int32_t i = 0; i < kPulses; ++i) {
        // 3-bit code to an odd level -7..7, scaled to the top of the word.
        int16_t t = int16_t(((xmc[i] & 7) * 2 - 7) * 4096);
        t = MultR(fac, t);
        t = Add(t, round);
        xmp[i] = Asr(t, shift);
    }
}

void GridPositioning(int16_t mc, const int16_t* xmp, int16_t* ep)
{
    std::fill_n(ep, kSubframeSamples, int16_t(0));
    for (int32_t i = 0; i < kPulses; ++i)
        ep[(mc & 3) + 3 * i] = xmp[i];
}

} // namespace

void RpeEncode(const int16_t* e, int16_t& xmaxc, int16_t& mc, int16_t* xmc, int16_t* ep)
{
    int16_t x[kSubframeSamples];
    int16_t xm[kPulses];
    WeightingFilter(e, x);
    mc = GridSelection(x, xm);

    int16_t xmax = 0;
    for (int32_t i = 0; i < kPulses; ++i) {
        int16_t a = Abs(xm[i]);
        if (a > xmax)
            xmax = a;
    }
    // Block maximum to a 6-bit pseudo-logarithm: 3 bits of exponent, 3 of mantissa.
    int16_t exp = 0;
    int16_t t = int16_t(xmax >> 9);
    bool reached = false;
    for (int32_t i = 0; i <= 5; ++i) {
        reached = reached || t <= 0;
        t = int16_t(t >> 1);
        if (!reached)
            ++exp;
    }
    xmaxc = Add(int16_t(xmax >> (exp + 5)), int16_t(exp << 3));

    // Dividing by the decoded maximum is a shift by its exponent and a product
    // with the inverse of its mantissa.
    int16_t dexp;
    int16_t dmant;
    XmaxcToExpMant(xmaxc, dexp, dmant);
    const int32_t shift = 6 - dexp;
    const int16_t inverse = kNrFac[dmant];
    for (int32_t i = 0; i < kPulses; ++i) {
        int16_t v = int16_t(uint16_t(uint32_t(int32_t(xm[i])) << shift));
        v = Mult(v, inverse);
        xmc[i] = int16_t((v >> 12) + 4);
    }

    int16_t xmp[kPulses];
    InverseApcm(dexp, dmant, xmc, xmp);
    GridPositioning(mc, xmp, ep);
}

void RpeDecode(int16_t xmaxc, int16_t mc, const int16_t* xmc, int16_t* erp)
{
    int16_t exp;
    int16_t mant;
    XmaxcToExpMant(int16_t(xmaxc & 63), exp, mant);
    int16_t xmp[kPulses];
    InverseApcm(exp, mant, xmc, xmp);
    GridPositioning(mc, xmp, erp);
}

} // namespace gsm610
