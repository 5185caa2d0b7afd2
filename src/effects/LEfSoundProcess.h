#pragma once
#include <cstdint>
#include <string>

#include "core/LProgressDialog.h"
#include "edit/LCutListAudio.h"
#include "effects/LEfSourceMaker.h"

// The generic filter job: streams the frames [sStart, sEnd) of a cut list
// through a maker's filter into new tank segments, in blocks of 8192 frames, and
// on completion replaces that range with them. On cancel or failure the list is
// untouched and the new segments are released. A reversed or empty range does
// nothing and reports completion.
class LEfSoundProcess {
public:
    static constexpr int32_t kBlockFrames = 8192;

    struct Data {
        LCutListAudio* list;
        int32_t sStart;  // frames
        int32_t sEnd;    // frames, exclusive
        const LEfSourceMaker* maker;
        std::string text;  // progress line 0
    };
    static int32_t Process(LProgressDialog& dialog, Data& data);
};
