#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "devices/LChannelLevels.h"

// The level meter's arithmetic, without drawing: horizontal bars, one per
// channel stacked top to bottom, -36 dB at the left edge, 0 dB three quarters
// across and +12 dB at the right. SetLevels says which strips to repaint.
class LDBDisplayModel {
public:
    static constexpr int32_t kMinDb = -36;
    static constexpr int32_t kMaxDb = 12;
    static constexpr size_t kMaxChannels = 16;

    struct Rect {
        int32_t left, top, right, bottom;  // right and bottom exclusive
        friend bool operator==(const Rect&, const Rect&) = default;
    };

    // The client area's size in pixels.
    void SetSize(int32_t width, int32_t height);
    // Stores the levels (clamped to -36..+12); returns the areas to repaint:
    // for each channel whose level changed the strip between its old and new
    // bar end (plus one pixel), or the whole area when the channel count changed.
    std::vector<Rect> SetLevels(const LChannelLevels& levels);

    uint16_t Channels() const { return channels_; }
    int8_t Level(size_t channel) const { return levels_[channel]; }
    // Rows of channel `c`: c * (height - 1) / n up to (c + 1) * (height - 1) / n.
    int32_t BandTop(int32_t c) const;
    int32_t BandBottom(int32_t c) const;
    // The x of level `dB` across the width W = width - 1: (dB + 36) * W / 48.
    int32_t X(int32_t dB) const;
    // Where a band's green ends (at min(level, 0 dB)) and its red ends (the
    // level, red only above 0 dB).
    int32_t GreenEnd(size_t c) const { return X(levels_[c] < 0 ? levels_[c] : 0); }
    int32_t RedEnd(size_t c) const { return X(levels_[c]); }

private:
    int32_t width_ = 0, height_ = 0;
    uint16_t channels_ = 0;
    std::array<int8_t, kMaxChannels> levels_{};
};
