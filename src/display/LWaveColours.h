#pragma once
#include <cstdint>

#include "display/LWavePicture.h"

// An RGB colour, 0xRRGGBB.
using LRgb = uint32_t;

// The system colours a wave view may follow (taken from the toolkit's palette).
struct LSystemColours {
    LRgb windowText = 0x000000;
    LRgb window = 0xFFFFFF;
    LRgb highlightText = 0xFFFFFF;
    LRgb highlight = 0x0078D7;
    LRgb greyText = 0x6D6D6D;
    LRgb buttonFace = 0xF0F0F0;
};

// The nine colours of a wave view.
struct LWaveColours {
    LRgb wave;
    LRgb background;
    LRgb waveSelected;
    LRgb backgroundSelected;
    LRgb bandLight;
    LRgb cursorLine;
    LRgb wavePastEnd;
    LRgb backgroundPastEnd;
    LRgb bandDark;

    // The document view's own set (green on black), or with `useWindowsColours`
    // ("UseWindowsColor") the system's text, window and highlight colours.
    static LWaveColours Document(bool useWindowsColours, const LSystemColours& system);
    // The transport strip's fixed set.
    static LWaveColours Strip(const LSystemColours& system);

    // The background and wave colours of a column painted as `role`
    // (CursorLine: both the cursor colour).
    void Pair(LWaveRole role, LRgb& back, LRgb& fore) const;
};
