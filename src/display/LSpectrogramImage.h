#pragma once
#include <cstddef>
#include <cstdint>

#include "display/LWavePicture.h"

// Paints the spectra of a spectrogram picture into 0xFFRRGGBB pixels laid out
// as the wave picture's image (column x at pixel x + 1, each lane's rows as
// LaneRows gives them). Only the lanes' rows of columns showing audio are
// written; the frame, the lane separator, the cursor line and the past-the-end
// columns are left to the wave painter. The selection is lightened.
class LSpectrogramImage {
public:
    // Columns [from, to) (clamped to the picture); `pixels` points at row 0,
    // `stride` pixels apart, and has at least (width + 2) x (height + 1) pixels.
    static void Render(uint32_t* pixels, ptrdiff_t stride, const LWavePicture& picture, int32_t from, int32_t to);
};
