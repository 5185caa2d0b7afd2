#include "formats/gsm/GsmShortTerm.h"

#include <algorithm>

#include "formats/gsm/GsmLpc.h"
#include "formats/gsm/GsmMath.h"
#include "formats/gsm/GsmTables.h"

namespace gsm610 {

namespace {

// The interpolated coefficients never reach -32768 (they are built by negating a
// saturated magnitude), so the rounding product needs no special case.
inline int16_t MultRCoefficient(int16_t r, int16_t x) { return int16_t((int32_t(r) * int32_t(x) + 16384) >> 15); }

void AnalysisFilter(int16_t* u, const int16_t* rp, int16_t* s, int32_t count)
{
    int16_t m[8];
    std::copy_n(u, 8, m);
    for (int32_t k = 0; k < count; ++k) {
        int16_t di = s[k];
        int16_t sav = di;
        for (int32_t i = 0; i < 8; ++i) {
            int16_t ui = m[i];
            int16_t next = Add(ui, MultRCoefficient(rp[i], di));
            di = Add(di, MultRCoefficient(rp[i], ui));
            m[i] = sav;
            sav = next;
        }
        s[k] = di;
    }
    std::copy_n(m, 8, u);
}

void SynthesisFilter(int16_t* v, const int16_t* rrp, const int16_t* wt, int16_t* sr, int32_t count)
{
    int16_t m[9];
    std::copy_n(v, 9, m);
    for (int32_t k = 0; k < count; ++k) {
        int16_t sri = wt[k];
        for (int32_t i = 7; i >= 0; --i) {
            sri = Sub(sri, MultRCoefficient(rrp[i], m[i]));
            m[i + 1] = Add(m[i], MultRCoefficient(rrp[i], sri));
        }
        sr[k] = sri;
        m[0] = sri;
    }
    std::copy_n(m, 9, v);
}

} // namespace

void ShortTermAnalysis(ShortTermState& state, const int16_t* larc, int16_t* s)
{
    int16_t larpp[8];
    DecodeLar(larc, larpp);
    for (int32_t stretch = 0; stretch < 4; ++stretch) {
        int16_t rp[8];
        InterpolatedReflection(state.larppPrevious, larpp, stretch, rp);
        int32_t start = kStretchStart[stretch];
        AnalysisFilter(state.u, rp, s + start, kStretchStart[stretch + 1] - start);
    }
    std::copy_n(larpp, 8, state.larppPrevious);
}

void ShortTermSynthesis(ShortTermState& state, const int16_t* larc, const int16_t* wt, int16_t* sr)
{
    int16_t larpp[8];
    DecodeLar(larc, larpp);
    for (int32_t stretch = 0; stretch < 4; ++stretch) {
        int16_t rrp[8];
        InterpolatedReflection(state.larppPrevious, larpp, stretch, rrp);
        int32_t start = kStretchStart[stretch];
        SynthesisFilter(state.v, rrp, wt + start, sr + start, kStretchStart[stretch + 1] - start);
    }
    std::copy_n(larpp, 8, state.larppPrevious);
}

} // namespace gsm610
