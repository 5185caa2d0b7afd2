#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "display/LWaveMapping.h"

// The width in pixels a text takes in the font it is drawn in; the window
// measures, the layout below decides.
using LTextWidth = std::function<int32_t(const std::string&)>;

// The time ruler above a document's main view: where its ticks go and what
// their labels say for the view a mapping shows. Labels are times in the
// h:mm:ss.cc form, or frame numbers once the view is so close that
// centiseconds could not label the ticks it has room for. Major ticks fall on
// round values (multiples of a 1-2-5 step, or of seconds, minutes and hours),
// carry a label starting `kLabelOffset` pixels right of the tick, and are
// spaced so that no two labels come closer than the gap asked for.
class LTimeRuler {
public:
    static constexpr int32_t kLabelOffset = 3;
    // Minor ticks are never closer than this.
    static constexpr int32_t kMinorSpacing = 6;

    struct Tick {
        int32_t column;     // wave column (may lie at the width: the right edge)
        bool major;
        std::string label;  // major ticks only; empty when it would run off the right edge
        int32_t labelWidth = 0;
    };
    struct Layout {
        bool frames = false;     // labels are frame numbers
        int64_t step = 0;        // between major ticks: ms, or frames when `frames`
        std::vector<Tick> ticks;  // left to right
    };

    // The ticks of the columns [0, width] of `map` for audio at `rate` frames per
    // second; `gap` pixels at least between one label's end and the next label.
    static Layout Compute(const LWaveMapping& map, int32_t rate, const LTextWidth& textWidth, int32_t gap);
    // A time label: "h:mm:ss.cc".
    static std::string TimeLabel(int64_t ms);
};
