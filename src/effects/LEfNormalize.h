#pragma once
#include <cstdint>

#include "core/LProgressDialog.h"
#include "edit/LCutListAudio.h"

// Normalize: scans [sStart, sEnd) for its peak and amplifies the range (a cut-list
// gain, no audio written) so the peak reaches `peakLevel` percent of 16-bit full
// scale, by at most 400 %. Silence, a reversed or empty range and a cancel
// change nothing.
class LEfNormalize {
public:
    static constexpr int32_t kBlockFrames = 8192;
    static constexpr int32_t kMaxPercent = 400;

    struct Data {
        LCutListAudio* list;
        int32_t sStart;          // frames
        int32_t sEnd;            // frames, exclusive
        int32_t peakLevel;       // percent of full scale
        int32_t appliedPercent;  // out: the gain applied, 100 when nothing was done
    };
    static int32_t Process(LProgressDialog& dialog, Data& data);

    // level * 524272 / peak in integer arithmetic, at most 400 (`peak` > 0).
    static int32_t GainPercent(int32_t peakLevel, int64_t peak);
};
