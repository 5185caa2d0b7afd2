#include "display/LWaveColours.h"

LWaveColours LWaveColours::Document(bool useWindowsColours, const LSystemColours& s)
{
    if (useWindowsColours)
        return {s.windowText, s.window, s.highlightText, s.highlight, 0xAAFFAA, 0x00FF00, s.greyText, s.buttonFace,
                0x008000};
    return {0x66FF66, 0x000000, 0xFFFFFF, 0x055FA7, 0xFFFFBD, 0xFFFF11, s.greyText, s.buttonFace, 0x008000};
}

LWaveColours LWaveColours::Strip(const LSystemColours& s)
{
    return {s.windowText, s.window, s.windowText, s.window, 0xAAFFAA, 0x00FF00, s.greyText, s.buttonFace, 0x008000};
}

void LWaveColours::Pair(LWaveRole role, LRgb& back, LRgb& fore) const
{
    switch (role) {
    case LWaveRole::Normal: back = background, fore = wave; return;
    case LWaveRole::Selection: back = backgroundSelected, fore = waveSelected; return;
    case LWaveRole::PastEnd: back = backgroundPastEnd, fore = wavePastEnd; return;
    case LWaveRole::BandInSelection: back = bandDark, fore = bandLight; return;
    case LWaveRole::BandOutsideSelection: back = bandLight, fore = bandDark; return;
    case LWaveRole::CursorLine: back = fore = cursorLine; return;
    }
}
