#pragma once
#include <cstdint>

// The quantisation tables of GSM 06.10, indexed from 0 where the standard counts
// from 1 (LAR i of the standard is entry i - 1 here).
namespace gsm610 {

inline constexpr int32_t kFrameSamples = 160;
inline constexpr int32_t kSubframeSamples = 40;
inline constexpr int32_t kSubframes = 4;
inline constexpr int32_t kPulses = 13;
inline constexpr int32_t kMinLag = 40;
inline constexpr int32_t kMaxLag = 120;

// Log-area-ratio quantiser: scale A, offset B, code range MIC..MAC, and 1/A for decoding.
inline constexpr int16_t kLarA[8] = {20480, 20480, 20480, 20480, 13964, 15360, 8534, 9036};
inline constexpr int16_t kLarB[8] = {0, 0, 2048, -2560, 94, -1792, -341, -1144};
inline constexpr int16_t kLarMic[8] = {-32, -32, -16, -16, -8, -8, -4, -4};
inline constexpr int16_t kLarMac[8] = {31, 31, 15, 15, 7, 7, 3, 3};
inline constexpr int16_t kLarInvA[8] = {13107, 13107, 13107, 13107, 19223, 17476, 31454, 29708};
// Bits of each coded LAR in a packed frame (MAC - MIC + 1 codes).
inline constexpr int32_t kLarBits[8] = {6, 6, 5, 5, 4, 4, 3, 3};

// Long-term predictor gain: decision levels and quantised gains.
inline constexpr int16_t kDlb[4] = {6554, 16384, 26214, 32767};
inline constexpr int16_t kQlb[4] = {3277, 11469, 21299, 32767};

// Weighting filter before the RPE grid selection (centre tap 8192 = unity).
inline constexpr int16_t kWeight[11] = {-134, -374, 0, 2054, 5741, 8192, 5741, 2054, 0, -374, -134};

// Inverse mantissas for the APCM quantiser and the mantissas for its decoder.
inline constexpr int16_t kNrFac[8] = {29128, 26215, 23832, 21846, 20165, 18725, 17476, 16384};
inline constexpr int16_t kFac[8] = {18431, 20479, 22527, 24575, 26623, 28671, 30719, 32767};

} // namespace gsm610
