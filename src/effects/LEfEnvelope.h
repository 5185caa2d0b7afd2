#pragma once
#include <cstdint>

#include "core/LProgressDialog.h"
#include "edit/LCutListAudio.h"
#include "effects/PointList.h"

// The volume envelope job, also behind Fade In and Fade Out. The selection is
// streamed through a piecewise-linear Q24 gain (point y << 17, so y = 128 is
// unity) into new tank segments that replace it on completion. Within a segment
// between two points the gain moves by an integer step recomputed for every
// block (at most 8192 frames, never crossing a point); every channel of a frame
// gets the same gain. Reaching a point sets the gain to that point's, so two
// points at the same x make a step.
class LEfEnvelope {
public:
    static constexpr int32_t kBlockFrames = 8192;

    struct Data {
        LCutListAudio* list;
        int32_t stStart;  // frames
        int32_t stEnd;    // frames, exclusive
        PointList points;
    };
    // kJobFailed for fewer than 2 points or a tank that cannot be written; a
    // reversed or empty range does nothing and reports completion.
    static int32_t Process(LProgressDialog& dialog, Data& data);

    // Frame of a point at `x` within a selection of `length` frames, in the
    // split form that cannot overflow.
    static int32_t PointPosition(int32_t length, uint8_t x)
    {
        return (length / 255) * x + ((length % 255) * x) / 255;
    }
    static int32_t PointGain(uint8_t y) { return int32_t(y) << 17; }

    static PointList FadeInPoints() { return PointList::Of({{0, 0}, {255, 128}}); }
    static PointList FadeOutPoints() { return PointList::Of({{0, 128}, {255, 0}}); }
};
