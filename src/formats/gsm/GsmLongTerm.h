#pragma once
#include <cstdint>

// Long-term (pitch) prediction of GSM 06.10, one 40-sample subframe at a time.
// `past` points just after the 120 reconstructed residual samples of the previous
// subframes, so past[-1] is the newest and past[-120] the oldest.
namespace gsm610 {

// Encoder: lag nc (40..120) and gain code bc (0..3) for the residual d[0..39].
void LtpParameters(const int16_t* d, const int16_t* past, int16_t& nc, int16_t& bc);

// Encoder: the prediction dpp[0..39] and the prediction error e = d - dpp.
void LtpAnalysisFilter(int16_t bc, int16_t nc, const int16_t* past, const int16_t* d, int16_t* dpp, int16_t* e);

// Decoder state: the reconstructed residual history and the last valid lag.
struct LtpSynthesisState {
    int16_t history[120] = {};
    int16_t lastLag = 40;
};

// Decoder: reconstructs 40 residual samples from the excitation erp and appends
// them to the history. A lag outside 40..120 repeats the last valid one.
void LtpSynthesis(LtpSynthesisState& state, int16_t ncr, int16_t bcr, const int16_t* erp, int16_t* drp);

} // namespace gsm610
