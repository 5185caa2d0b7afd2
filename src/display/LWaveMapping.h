#pragma once
#include <cstdint>

// Columns a wave view can hold.
inline constexpr int32_t kWaveMaxColumns = 2048;
// A view drawn in two lanes (stereo lanes) keeps the second lane's columns this
// far behind the first lane's in the same arrays.
inline constexpr int32_t kWaveLaneStride = kWaveMaxColumns;
// Views of up to this many frames per column are computed from the audio; wider
// views from the tank's peak files.
inline constexpr int32_t kWaveAudioFramesPerColumn = 256;

// What applying a view asks of its caller.
struct LWaveApply {
    int32_t from = 0;    // first column to compute
    int32_t to = 0;      // one past the last
    int32_t shift = 0;   // columns the old picture moves right (negative: left), 0 for none
    bool zoom = false;   // the frames per column changed: every column is new
};

// Which frames each column of a wave view shows. Column x covers the frames
// [PixelToFrame(x), PixelToFrame(x + 1)). A value type; its owner guards it.
class LWaveMapping {
public:
    // Width in columns, clamped to 1..2048. The next Apply recomputes everything.
    void SetWidth(int32_t width);
    int32_t Width() const { return width_; }

    int32_t ViewStart() const { return start_; }
    // Frames across the width; 0 while nothing is shown.
    int32_t ViewLength() const { return length_; }
    double PixelsPerFrame() const { return pixelsPerFrame_; }
    // trunc(view start * pixels per frame). 64-bit: a close view near the end of
    // a long file lies far beyond 2^31 pixels.
    int64_t StartPixel() const { return startPixel_; }

    // trunc(frame * pixels per frame) - start pixel: -1 when the view is empty or
    // the result is negative, at most the width.
    int32_t FrameToPixel(int32_t frame) const;
    // trunc((pixel + start pixel) / pixels per frame), within the 32-bit range.
    int32_t PixelToFrame(int32_t pixel) const;

    // Shows [start, start + length). A new length (or the first view after
    // SetWidth or ForceRecompute) maps the frames afresh, at max(width, 8) / length
    // pixels per frame, and asks for every column; the same length is a scroll
    // that keeps the columns still on screen and asks only for the exposed ones
    // (with one column of overlap at the seam). A length below 1 empties the view.
    LWaveApply Apply(int32_t start, int32_t length);
    // Makes the next Apply recompute every column even at the same length.
    void ForceRecompute() { stale_ = true; }

    // The mapping a view of `width` columns has once it shows [start, start +
    // length): what the wave thread will apply, computed ahead of it.
    static LWaveMapping Of(int32_t width, int32_t start, int32_t length);
    // The column of a frame (fractional frames allowed), neither clamped nor
    // limited: negative before the view, width or more after it. 64-bit, as the
    // start pixel. Meaningless while the view is empty.
    int64_t ColumnOf(double frame) const;

private:
    int32_t width_ = 1;
    int32_t start_ = 0;
    int32_t length_ = 0;
    int64_t startPixel_ = 0;
    double pixelsPerFrame_ = 1.0;
    bool stale_ = true;
};
