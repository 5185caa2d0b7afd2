#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/LProgressDialog.h"
#include "edit/LCutListAudio.h"

// "Automatic Gain Control" over [sStart, sEnd) of a cut list, in two stages.
// Stage 1 reads a copy of the range in blocks of 20 ms, keeps the audio in a
// temporary file ("lca...") and each block's weighted level per channel in
// another ("lcp..."), and finds each channel's reference level: the median of
// its loud blocks. Stage 2 (LDPAutoGain) returns the audio with the gain those
// levels call for, through the pump's peak limiter, into new segments that
// replace the range on completion.
//
// The temporary files live in the temporary folder and are unlinked as soon as
// they are open, so nothing is left behind whatever way the job ends. When they
// cannot be made the job reports it and fails, and the list is untouched.
class EfAutoGainControl {
public:
    struct Data {
        LCutListAudio* list;
        int32_t sStart;  // frames
        int32_t sEnd;    // frames, exclusive
        std::vector<int32_t> referenceLevels;  // out: per channel, dB
    };
    // A reversed or empty range does nothing and reports completion.
    static int32_t Process(LProgressDialog& dialog, Data& data);

    // 20 ms of frames, held to 20..8192.
    static int32_t BlockFrames(int32_t rate);
    // The reference level of a channel from the count of its blocks per level
    // (-127..127, index level + 127): the median of the blocks within 15 dB of
    // the loudest eighth.
    static int32_t ReferenceLevel(const std::array<int32_t, 255>& histogram);
    // The text reported when no temporary file can be made in `folder`.
    static std::string TempFileMessage(const std::string& folder);
};
