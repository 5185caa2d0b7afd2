#pragma once
#include <cstdint>

// Linear-prediction analysis of GSM 06.10: from 160 preprocessed samples to eight
// coded log-area ratios, and the decoding and interpolation of those ratios into
// the reflection coefficients both short-term filters use.
namespace gsm610 {

// Codes the frame's log-area ratios into larc (0-based codes as packed). The
// autocorrelation scales `s` down and back up in place, which rounds it: the
// short-term analysis must filter the samples as this leaves them.
void LpcAnalysis(int16_t* s, int16_t* larc);

// The decoded log-area ratios LARpp of a frame's codes.
void DecodeLar(const int16_t* larc, int16_t* larpp);

// The reflection coefficients for one of the four interpolation stretches of a
// frame (0: samples 0-12, 1: 13-26, 2: 27-39, 3: 40-159), from the previous and
// the current frame's LARpp.
void InterpolatedReflection(const int16_t* previous, const int16_t* current, int32_t stretch, int16_t* rp);

// First sample of each interpolation stretch, and the end of the last.
inline constexpr int32_t kStretchStart[5] = {0, 13, 27, 40, 160};

} // namespace gsm610
