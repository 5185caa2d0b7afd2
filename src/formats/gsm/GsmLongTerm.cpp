#include "formats/gsm/GsmLongTerm.h"

#include <algorithm>

#include "formats/gsm/GsmMath.h"
#include "formats/gsm/GsmTables.h"

namespace gsm610 {

void LtpParameters(const int16_t* d, const int16_t* past, int16_t& nc, int16_t& bc)
{
    int16_t dmax = 0;
    for (int32_t k = 0; k < kSubframeSamples; ++k) {
        int16_t a = Abs(d[k]);
        if (a > dmax)
            dmax = a;
    }
    int32_t scal = 0;
    if (dmax != 0) {
        int32_t t = Norm(int32_t(dmax) << 16);
        scal = t > 6 ? 0 : 6 - t;
    }
    // Scaled to at most 9 bits, so that 40 products with 16-bit history samples
    // cannot overflow: plain sums equal the saturating ones.
    int16_t wt[kSubframeSamples];
    for (int32_t k = 0; k < kSubframeSamples; ++k)
        wt[k] = int16_t(d[k] >> scal);

    int32_t best = 0;
    int16_t lag = kMinLag;
    for (int32_t lambda = kMinLag; lambda <= kMaxLag; ++lambda) {
        const int16_t* h = past - lambda;
        int32_t sum = 0;
        for (int32_t k = 0; k < kSubframeSamples; ++k)
            sum += int32_t(wt[k]) * int32_t(h[k]);
        if (sum > best) {
            best = sum;
            lag = int16_t(lambda);
        }
    }
    nc = lag;
    int32_t lmax = (best * 2) >> (6 - scal);

    int32_t power = 0;
    const int16_t* h = past - lag;
    for (int32_t k = 0; k < kSubframeSamples; ++k) {
        int32_t t = h[k] >> 3;
        power += t * t;
    }
    power *= 2;

    if (lmax <= 0) {
        bc = 0;
        return;
    }
    if (lmax >= power) {
        bc = 3;
        return;
    }
    int32_t shift = Norm(power);
    int16_t r = int16_t(LShl(lmax, shift) >> 16);
    int16_t s = int16_t(LShl(power, shift) >> 16);
    for (bc = 0; bc <= 2; ++bc) {
        if (r <= Mult(s, kDlb[bc]))
            return;
    }
    bc = 3;
}

void LtpAnalysisFilter(int16_t bc, int16_t nc, const int16_t* past, const int16_t* d, int16_t* dpp, int16_t* e)
{
    const int16_t bp = kQlb[bc];
    const int16_t* h = past - nc;
    for (int32_t k = 0; k < kSubframeSamples; ++k) {
        dpp[k] = MultR(bp, h[k]);
        e[k] = Sub(d[k], dpp[k]);
    }
}

void LtpSynthesis(LtpSynthesisState& state, int16_t ncr, int16_t bcr, const int16_t* erp, int16_t* drp)
{
    int16_t lag = (ncr < kMinLag || ncr > kMaxLag) ? state.lastLag : ncr;
    state.lastLag = lag;
    const int16_t brp = kQlb[bcr & 3];
    // With a lag of at least 40 every prediction comes from the history, never
    // from samples of this subframe.
    const int16_t* h = state.history + 120 - lag;
    for (int32_t k = 0; k < kSubframeSamples; ++k)
        drp[k] = Add(erp[k], MultR(brp, h[k]));
    std::copy(state.history + kSubframeSamples, state.history + 120, state.history);
    std::copy_n(drp, kSubframeSamples, state.history + 120 - kSubframeSamples);
}

} // namespace gsm610
