#pragma once
#include <cstdint>
#include <string>

// Range checks of the values that the compressor and noise-reduction dialogs
// take from level controls and a drop-down, which cannot produce anything out
// of range. Values from elsewhere (a command line, a scripted interface) are
// checked against the same ranges. Each returns the message, or an empty
// string when the values are accepted.

inline constexpr int32_t kLevelControlMin = -40;  // dB, threshold and gate level
inline constexpr int32_t kCompressorLimitMax = 12;  // dB

// Threshold -40..0 dB, then the ratio index 0..6, then the limit 0..12 dB.
std::string CheckCompressor(int32_t thresholdDb, int32_t ratioIndex, int32_t limitDb);
// Threshold and limit only: the interactive command stops without a change for
// a ratio index that names no row.
std::string CheckCompressorLevels(int32_t thresholdDb, int32_t limitDb);
// -40..0 dB.
std::string CheckNoiseGateLevel(int32_t levelDb);
