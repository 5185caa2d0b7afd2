#pragma once
#include <cstdint>

// Regular-pulse excitation coding of GSM 06.10 for one 40-sample subframe: a
// weighting filter, the choice of one of four decimated grids, and adaptive PCM
// of its 13 pulses with a block maximum.
namespace gsm610 {

// Encoder: codes the long-term prediction error e[0..39] into (xmaxc, mc, xmc[13])
// and returns in ep[0..39] the excitation the decoder will rebuild from them.
void RpeEncode(const int16_t* e, int16_t& xmaxc, int16_t& mc, int16_t* xmc, int16_t* ep);

// Decoder: the excitation erp[0..39] of a subframe's codes.
void RpeDecode(int16_t xmaxc, int16_t mc, const int16_t* xmc, int16_t* erp);

} // namespace gsm610
