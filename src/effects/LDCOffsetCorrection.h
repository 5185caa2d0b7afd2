#pragma once
#include <cstdint>
#include <vector>

#include "core/LProgressDialog.h"
#include "edit/LCutListAudio.h"

// "DC Offset Correction": measures each channel's mean over [sStart, sEnd) and
// subtracts it (truncated toward zero) from every value of the range, which is
// then replaced by the corrected audio. Two passes over a copy of the range;
// a cancel in either leaves the list as it was.
class LDCOffsetCorrection {
public:
    struct Data {
        LCutListAudio* list;
        int32_t sStart;  // frames
        int32_t sEnd;    // frames, exclusive
        std::vector<int32_t> offsets;  // out: the offset removed per channel
    };
    // A reversed or empty range does nothing and reports completion.
    static int32_t Process(LProgressDialog& dialog, Data& data);
};
