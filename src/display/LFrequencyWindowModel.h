#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "display/LSpectrum.h"
#include "display/LTimeRuler.h"

// The scroll bars of the frequency window.
enum class LFrequencyAxis : uint8_t { Horizontal, Vertical };
enum class LFrequencyScroll : uint8_t { LineBack, LineForward, PageBack, PageForward, Thumb };

// What the frequency analysis window shows, without the window: a logarithmic
// frequency axis (16:1) over the visible bins, or a linear one when asked, dB
// levels down the height (128, 64 or 32 dB), two zoom steps on each axis with
// their scroll positions (0..100), the labels of both axes and the readout
// under the pointer. Pixels are drawing-area pixels (inside the border).
// Used on the user-interface thread.
class LFrequencyWindowModel {
public:
    static constexpr int32_t kMaxZoom = 2;

    void SetData(const LSpectrumBlock& block) { data_ = block; }
    const LSpectrumBlock& Data() const { return data_; }

    // The control's client size; a sunken border takes one pixel off each axis.
    void SetSize(int32_t clientWidth, int32_t clientHeight, bool sunkenBorder);
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }

    // The frequency axis: logarithmic (the default) or linear.
    void SetLogarithmic(bool logarithmic) { logarithmic_ = logarithmic; }
    bool Logarithmic() const { return logarithmic_; }

    // One zoom step in or out, within 0..2; horizontally the visible bins are 2048 >> step.
    void HZoom(bool in);
    void VZoom(bool in);
    // Both zooms and scroll positions back to 0.
    void ZoomDefault();
    int32_t HZoomStep() const { return hz_; }
    int32_t VZoomStep() const { return vz_; }
    int32_t VisibleBins() const { return kSpectrumBins >> hz_; }
    int32_t FirstVisibleBin() const;
    // Pixels of the whole zoomed frequency axis, and how far it is scrolled.
    int32_t VirtualWidth() const { return width_ << hz_; }
    int32_t ScrollPixelOffset() const;

    // The bin under column x.
    int32_t MapPixelXtoIndex(int32_t x) const;
    // The column of a frequency's bin (negative or beyond the width when off screen).
    int32_t MapIndextoPixelX(int32_t frequency) const;
    // The row of a level (0 dB at the top); -127 and below lie on the bottom row.
    int32_t LevelToY(int32_t level) const;
    // The level whose rows hold row y: the inverse of LevelToY wherever a level has a row.
    int32_t YToLevel(int32_t y) const;
    // "%d Hz, %d dB" for the pointer at (x, y).
    std::string Readout(int32_t x, int32_t y) const;

    // Scroll bar position (0..100) and page size (101 >> zoom step).
    int32_t Position(LFrequencyAxis axis) const { return axis == LFrequencyAxis::Horizontal ? hPos_ : vPos_; }
    int32_t PageSize(LFrequencyAxis axis) const;
    // Lines step by 1, pages by page + 1, the thumb moves to `thumb`; the result
    // stays where position + page is below 102. False when nothing moved.
    bool Scroll(LFrequencyAxis axis, LFrequencyScroll action, int32_t thumb = 0);

    // Columns of the frequency lines every `stepHz` below half the rate that fall on the window.
    std::vector<int32_t> FrequencyGridX(int32_t stepHz) const;
    // Rows of the level lines at 6, 12, ... 126 dB that fall on the window.
    std::vector<int32_t> LevelGridY() const;
    // Row of a channel's curve at column x.
    int32_t CurveY(int32_t channel, int32_t x) const;

    // A label of an axis at a column (frequency) or a row (level).
    struct AxisLabel {
        int32_t at;
        std::string text;
    };
    // Frequency labels ("50", "1k", "2.5k": Hz) centred on their grid columns,
    // at round frequencies below half the rate, left to right, never closer
    // than `gap` pixels; those that would stick out of the width are left out.
    std::vector<AxisLabel> FrequencyLabels(const LTextWidth& textWidth, int32_t gap) const;
    // The frequency of a label: "1k" for 1000, "2.5k" for 2500.
    static std::string FrequencyText(int32_t hz);
    // Level labels in dB on the rows of the level grid (and 0 dB at the top
    // when it shows), top to bottom, at least `spacing` rows apart.
    std::vector<AxisLabel> LevelLabels(int32_t spacing) const;

private:
    int32_t Limit(LFrequencyAxis axis) const { return 101 - PageSize(axis); }
    // Rows the curve is shifted up by the vertical scroll.
    int32_t VerticalOffset() const;

    LSpectrumBlock data_;
    int32_t width_ = 1;
    int32_t height_ = 1;
    int32_t hz_ = 0;
    int32_t vz_ = 0;
    int32_t hPos_ = 0;
    int32_t vPos_ = 0;
    bool logarithmic_ = true;
};
