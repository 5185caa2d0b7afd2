#pragma once
#include <cstdint>
#include <vector>

// The coefficients that mix `channels` channels (3 or more) down to stereo, as
// libswresample mixes them by default for 16-bit output: centre and surround
// channels at -3 dB, the LFE channel left out, and the rows scaled so that no
// output can exceed full scale. `mask` gives the file's speaker positions (WAV
// channel mask bits, which FFmpeg's layouts use as they are); 0, or a mask that
// does not name `channels` positions, means the usual layout for that count.
// Fills `matrix` with 2 × channels weights, left row first; false when there is
// no layout for that many channels. Implemented over libswresample, so every
// reader mixes a file exactly as the media decoder does.
bool LMixDownMatrix(int32_t channels, uint64_t mask, std::vector<double>& matrix);
