#pragma once
#include <cstdint>

// The short-term (lattice) filters of GSM 06.10. Both decode the frame's coded
// log-area ratios, interpolate them with the previous frame's over the first 40
// samples, and keep that frame's decoded ratios for the next call.
namespace gsm610 {

struct ShortTermState {
    int16_t larppPrevious[8] = {};
    int16_t u[8] = {};   // analysis filter memory
    int16_t v[9] = {};   // synthesis filter memory
};

// Encoder: filters the 160 samples of `s` in place into the short-term residual.
void ShortTermAnalysis(ShortTermState& state, const int16_t* larc, int16_t* s);

// Decoder: filters the 160 excitation samples `wt` into the speech `sr`.
void ShortTermSynthesis(ShortTermState& state, const int16_t* larc, const int16_t* wt, int16_t* sr);

} // namespace gsm610
