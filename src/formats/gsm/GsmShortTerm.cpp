#include "formats/gsm/GsmShortTerm.h"

#include <algorithm>

#include "formats/gsm/GsmLpc.h"
#include "formats/gsm/GsmMath.h"
#include "formats/gsm/GsmTables.h"

namespace gsm610 {

namespace {

// The interpolated coefficients never reach -32768 (they are built by negating a
// saturated magnitude), so the rounding product needs no special case.
inline int32_t MultRCoefficient(int32_t r, int32_t x) { return (r * x + 16384) >> 15; }

// Saturation for the lattice's serial chains, on values kept in 32-bit registers
// so that no narrowing sits between stages. Saturation is rare, so a predicted
// branch keeps the clamp off the critical path, where a conditional move would
// sit on it at every stage.
inline int32_t SaturateRarely(int32_t v)
{
    if (__builtin_expect(uint32_t(v + 32768) > 65535u, 0))
        v = v < 0 ? -32768 : 32767;
    return v;
}

void AnalysisFilter(int16_t* u, const int16_t* rp, int16_t* s, int32_t count)
{
    int32_t m[8];
    int32_t r[8];
    for (int32_t i = 0; i < 8; ++i) {
        m[i] = u[i];
        r[i] = rp[i];
    }
    for (int32_t k = 0; k < count; ++k) {
        int32_t di = s[k];
        int32_t sav = di;
        for (int32_t i = 0; i < 8; ++i) {
            int32_t ui = m[i];
            int32_t next = SaturateRarely(ui + MultRCoefficient(r[i], di));
            di = SaturateRarely(di + MultRCoefficient(r[i], ui));
            m[i] = sav;
            sav = next;
        }
        s[k] = int16_t(di);
    }
    for (int32_t i = 0; i < 8; ++i)
        u[i] = int16_t(m[i]);
}

void SynthesisFilter(int16_t* v, const int16_t* rrp, const int16_t* wt, int16_t* sr, int32_t count)
{
    int32_t m[9];
    int32_t r[8];
    for (int32_t i = 0; i < 9; ++i)
        m[i] = v[i];
    for (int32_t i = 0; i < 8; ++i)
        r[i] = rrp[i];
    for (int32_t k = 0; k < count; ++k) {
        int32_t sri = wt[k];
        for (int32_t i = 7; i >= 0; --i) {
            sri = SaturateRarely(sri - MultRCoefficient(r[i], m[i]));
            m[i + 1] = SaturateRarely(m[i] + MultRCoefficient(r[i], sri));
        }
        sr[k] = int16_t(sri);
        m[0] = sri;
    }
    for (int32_t i = 0; i < 9; ++i)
        v[i] = int16_t(m[i]);
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
