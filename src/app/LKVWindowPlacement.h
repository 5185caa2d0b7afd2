#pragma once
#include <cstdint>

// The frame's placement on the desktop, kept in the section "MainWindow"
// ("X", "Y", "Width", "Height", "Maximized").
struct LKVRect {
    int32_t x = 0, y = 0, width = 0, height = 0;
    friend bool operator==(const LKVRect&, const LKVRect&) = default;
};

struct LKVWindowPlacement {
    LKVRect rect{160, 80, 740, 627};  // the restored window's rectangle
    bool maximized = true;

    // The stored placement (defaults where a value is missing).
    static LKVWindowPlacement Read();
    // Stores the placement of a window being closed: nothing when it is
    // minimized; "Maximized" alone when maximized; otherwise "Maximized" false
    // and the rectangle, its right edge cut to the desktop's.
    static void Save(const LKVRect& window, bool maximized, bool minimized, const LKVRect& desktop);

    // `r` moved inside `desktop`: width and height cut to the desktop's, then the
    // corner moved so that the whole window fits.
    static LKVRect FitInside(LKVRect r, const LKVRect& desktop);
};
