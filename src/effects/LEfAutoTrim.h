#pragma once
#include <cstdint>
#include <vector>

#include "core/LProgressDialog.h"
#include "edit/LCutListAudio.h"

// "Auto Trim": cuts the quiet start and end off a whole cut list, judging by the
// tank's peak files alone (no audio is read). A 256-frame block is loud when a
// peak byte of any channel is above the threshold (in dB below the loudest peak
// byte). The block before the first loud block stays as a margin and the list
// ends with the last loud block; the first and last blocks are never judged. A
// list that is quiet everywhere keeps its length.
class LEfAutoTrim {
public:
    struct Data {
        LCutListAudio* list;
        int32_t threshold;  // dB ("AutoTrimThreshold"), held to -127..127
        int32_t start = 0;  // out: frames removed from the front
        int32_t end = 0;    // out: the end kept, before the front was removed
    };
    static int32_t Process(LProgressDialog& dialog, Data& data);

    // The peak bytes of every 256-frame block of the list: per block, per
    // channel, the positive then the negative peak, each scaled by its cut's
    // gain and held to 255. Blocks covered by more than one cut keep the larger.
    static std::vector<uint8_t> ReadPeaks(const LCutListAudio& list);
    // The range to keep, from peaks laid out as ReadPeaks gives them.
    static void FindRange(const std::vector<uint8_t>& peaks, int32_t channels, int32_t length, int32_t threshold,
                          int32_t& start, int32_t& end);
};
