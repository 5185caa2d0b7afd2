#pragma once
#include <QImage>
#include <cstdint>

#include "display/LWaveColours.h"
#include "display/LWavePicture.h"

// Renders a wave picture into an image of its window's client size. Column x
// of the wave goes to image column x + 1 as three runs (background, wave,
// background) in its role's colours, or one run of the cursor colour; row 0 and
// column 0 are dark frame lines, row `height` and column width + 1 light ones.
// The image is filled one scan line at a time, which is many times faster than
// one drawn line per column.
class LWavePainter {
public:
    // Columns [from, to) (clamped to the picture) into `image`, which must be
    // RGB32 of at least (width + 2) x (height + 1) pixels. A disabled picture
    // is filled with `disabled`.
    static void Render(QImage& image, const LWavePicture& picture, const LWaveColours& colours, int32_t from,
                       int32_t to, QRgb disabled);
};
