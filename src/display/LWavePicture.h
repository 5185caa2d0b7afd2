#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "display/LSpectrogramColumn.h"
#include "display/LWaveMapping.h"

// The colour pair a column is painted with.
enum class LWaveRole : uint8_t {
    Normal,
    Selection,
    PastEnd,               // before frame 0 or at and after the end of the audio
    BandInSelection,       // the cursor band: dark background, light wave
    BandOutsideSelection,  // the cursor band: light background, dark wave
    CursorLine,            // the whole column in the cursor colour
};

// A consistent copy of what a wave view paints, taken under its paint lock: the
// mapping, the marks and the columns. The picture has a one-pixel frame: column
// x of the wave is drawn at x + 1, rows 1 .. height - 1 hold the wave, row 0 and
// column 0 are the dark frame lines, row `height` and column width + 1 the light ones.
struct LWavePicture {
    // Rows [1, top) and [bottom, height) are background, [top, bottom) wave.
    struct Span {
        int32_t top;
        int32_t bottom;
    };

    LWaveMapping map;
    int32_t height = 1;      // client height - 1
    int32_t cursor = 0;      // frames
    int32_t band = 0;        // cursor band width, frames
    int32_t end = 0;         // document length, frames
    int32_t selStart = 0;    // frames; selStart == selEnd is no selection
    int32_t selEnd = 0;
    bool symmetric = false;  // one column array mirrored about the centre
    bool enabled = false;    // a disabled view is painted solid grey
    int32_t lanes = 1;       // 2: the stereo lanes, lane 1 at kWaveLaneStride in the arrays
    std::array<uint8_t, 2 * kWaveLaneStride> upper{};
    std::array<uint8_t, 2 * kWaveLaneStride> lower{};
    // A spectrogram instead of the wave: spectra[x] is column x's (null while
    // not computed), each channel drawn in its lane over a frequency axis.
    bool spectrogram = false;
    bool logFrequency = true;
    int32_t sampleRate = 44100;
    std::vector<std::shared_ptr<const LSpectrogramColumn>> spectra;

    // Rows of one lane: [top, end), its centre line at `mid`; `scale` is the
    // height a column value of 512 would span (the whole height for one lane).
    struct Lane {
        int32_t top;
        int32_t end;
        int32_t mid;
        int32_t scale;
    };

    int32_t Width() const { return map.Width(); }
    LWaveRole Role(int32_t x) const;
    // The column that shows the cursor line (one to the left at the right edge), or -1.
    int32_t CursorColumn() const;
    // One lane: rows [1, height) with its centre at height / 2. Two lanes split
    // the height in halves, each with its own centre line; the row between them
    // (SeparatorRow) belongs to neither.
    Lane LaneRows(int32_t lane) const;
    // The row between two lanes; -1 with one.
    int32_t SeparatorRow() const { return lanes > 1 ? height / 2 : -1; }
    // Within the lane: top = mid - upper * height / 512; bottom = mid + lower * height / 512 + 1.
    Span ColumnSpan(int32_t x, int32_t lane = 0) const;
    // The row a wave column value of `value` (0..255) reaches above (or, with
    // `below`, under) the lane's centre line: where the scale marks that level.
    int32_t RowOf(int32_t lane, int32_t value, bool below) const;
};
