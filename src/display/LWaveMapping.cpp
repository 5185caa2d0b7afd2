#include "display/LWaveMapping.h"

#include <algorithm>
#include <cmath>

void LWaveMapping::SetWidth(int32_t width)
{
    width_ = std::clamp(width, 1, kWaveMaxColumns);
    stale_ = true;
}

int32_t LWaveMapping::FrameToPixel(int32_t frame) const
{
    if (length_ == 0)
        return -1;
    int64_t p = int64_t(std::trunc(double(frame) * pixelsPerFrame_)) - startPixel_;
    if (p < 0)
        return -1;
    return int32_t(std::min<int64_t>(p, width_));
}

int32_t LWaveMapping::PixelToFrame(int32_t pixel) const
{
    double f = std::trunc((double(pixel) + double(startPixel_)) / pixelsPerFrame_);
    return int32_t(std::clamp(f, double(INT32_MIN), double(INT32_MAX)));
}

LWaveApply LWaveMapping::Apply(int32_t start, int32_t length)
{
    LWaveApply a;
    if (length < 1) {
        start_ = start;
        length_ = 0;
        pixelsPerFrame_ = 1.0;
        startPixel_ = 0;
        stale_ = false;
        return a;
    }
    if (stale_ || length != length_) {
        start_ = start;
        length_ = length;
        pixelsPerFrame_ = double(std::max(width_, 8)) / double(length);
        startPixel_ = int64_t(std::trunc(double(start) * pixelsPerFrame_));
        stale_ = false;
        a.to = width_;
        a.zoom = true;
        return a;
    }
    int64_t newStartPixel = int64_t(std::trunc(double(start) * pixelsPerFrame_));
    int64_t d = startPixel_ - newStartPixel;
    start_ = start;
    startPixel_ = newStartPixel;
    if (d == 0)
        return a;
    if (d > -width_ && d < width_) {
        a.shift = int32_t(d);
        if (d > 0) {
            a.from = 0;
            a.to = int32_t(d) + 1;
        } else {
            a.from = width_ + int32_t(d) - 1;
            a.to = width_;
        }
        a.from = std::max(a.from, 0);
        a.to = std::min(a.to, width_);
        return a;
    }
    a.to = width_;
    return a;
}

LWaveMapping LWaveMapping::Of(int32_t width, int32_t start, int32_t length)
{
    LWaveMapping m;
    m.SetWidth(width);
    m.Apply(start, length);
    return m;
}

int64_t LWaveMapping::ColumnOf(double frame) const
{
    const double p = std::floor(frame * pixelsPerFrame_) - double(startPixel_);
    return int64_t(std::clamp(p, -9.0e15, 9.0e15));
}
