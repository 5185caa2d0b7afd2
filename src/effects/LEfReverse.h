#pragma once
#include <cstdint>

#include "core/LProgressDialog.h"
#include "edit/LCutListAudio.h"

// "Reverse": replaces [sStart, sEnd) by its frames in reverse order (the
// channels inside each frame keep their order). The range is read backwards in
// blocks of up to 8192 frames. Cancel leaves the list as it was.
class LEfReverse {
public:
    struct Data {
        LCutListAudio* list;
        int32_t sStart;  // frames
        int32_t sEnd;    // frames, exclusive
    };
    // A reversed or empty range does nothing and reports completion.
    static int32_t Process(LProgressDialog& dialog, Data& data);

    // Writes source frames [start, end) to `sink` last frame first.
    static int32_t LReverseSoundProcess(LProgressDialog& dialog, LSoundSource& source, LSoundSink& sink,
                                        int32_t start, int32_t end);
};
