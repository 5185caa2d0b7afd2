#include "display/LFrequencyWindowModel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// Offset of a zoomed, scrolled axis: the scroll position p (0 .. s + 1) of a
// zoom step with s = (step + 1) * 25 takes the axis to p * s / ((s + 1) * 100)
// of its virtual length, which at the last position shows its final window.
int32_t ZoomedOffset(int32_t position, int32_t step, int32_t virtualLength)
{
    if (step == 0)
        return 0;
    const int32_t s = (step + 1) * 25;
    return int32_t(std::trunc(double(position) * s / ((s + 1) * 100.0) * virtualLength));
}

} // namespace

void LFrequencyWindowModel::SetSize(int32_t clientWidth, int32_t clientHeight, bool sunkenBorder)
{
    const int32_t border = sunkenBorder ? 1 : 0;
    width_ = std::max(clientWidth - border, 1);
    height_ = std::max(clientHeight - border, 1);
}

void LFrequencyWindowModel::HZoom(bool in)
{
    hz_ = std::clamp(hz_ + (in ? 1 : -1), 0, kMaxZoom);
    hPos_ = std::clamp(hPos_, 0, Limit(LFrequencyAxis::Horizontal));
}

void LFrequencyWindowModel::VZoom(bool in)
{
    vz_ = std::clamp(vz_ + (in ? 1 : -1), 0, kMaxZoom);
    vPos_ = std::clamp(vPos_, 0, Limit(LFrequencyAxis::Vertical));
}

void LFrequencyWindowModel::ZoomDefault() { hz_ = vz_ = hPos_ = vPos_ = 0; }

int32_t LFrequencyWindowModel::FirstVisibleBin() const
{
    if (hz_ == 0)
        return 0;
    const int32_t s = (hz_ + 1) * 25;
    return int32_t(int64_t(hPos_) * s * kSpectrumBins / ((s + 1) * 100));
}

int32_t LFrequencyWindowModel::ScrollPixelOffset() const { return ZoomedOffset(hPos_, hz_, VirtualWidth()); }

int32_t LFrequencyWindowModel::VerticalOffset() const { return ZoomedOffset(vPos_, vz_, height_ << vz_); }

int32_t LFrequencyWindowModel::MapPixelXtoIndex(int32_t x) const
{
    const double t = std::clamp(double(x + ScrollPixelOffset()) / VirtualWidth(), 0.0, 1.0);
    const int32_t bin = int32_t(std::trunc(VisibleBins() * (std::pow(16.0, t) - 1.0) / 15.0)) + FirstVisibleBin();
    return std::min(bin, kSpectrumBins - 1);
}

int32_t LFrequencyWindowModel::MapIndextoPixelX(int32_t frequency) const
{
    const int32_t bin = SpectrumFrequencyBin(frequency, data_.sampleRate);
    const double u = double(bin - FirstVisibleBin()) / VisibleBins();
    // Bins far left of the window would take the logarithm below zero.
    const double x = std::trunc(VirtualWidth() * std::log(std::max(1.0 + 15.0 * u, 1e-9)) / std::log(16.0));
    return int32_t(std::clamp(x - ScrollPixelOffset(), -1e9, 1e9));
}

int32_t LFrequencyWindowModel::LevelToY(int32_t level) const
{
    if (level <= -127)
        return height_ - 1;
    const int32_t y = ((-level * height_) >> (7 - vz_)) - VerticalOffset();
    return std::clamp(y, 0, height_ - 1);
}

int32_t LFrequencyWindowModel::YToLevel(int32_t y) const
{
    // Level -n lies on rows [trunc(n h / 2^k), trunc((n + 1) h / 2^k)) of the
    // virtual height; take the largest n starting at or above the pointer's row.
    const int64_t row = int64_t(std::clamp(y, 0, height_ - 1)) + VerticalOffset();
    const int64_t scale = int64_t(1) << (7 - vz_);
    const int64_t n = ((row + 1) * scale + height_ - 1) / height_ - 1;
    return -int32_t(std::clamp<int64_t>(n, 0, 127));
}

std::string LFrequencyWindowModel::Readout(int32_t x, int32_t y) const
{
    char text[64];
    std::snprintf(text, sizeof text, "%d Hz, %d dB", SpectrumBinFrequency(MapPixelXtoIndex(x), data_.sampleRate),
                  YToLevel(y));
    return text;
}

int32_t LFrequencyWindowModel::PageSize(LFrequencyAxis axis) const
{
    return 101 >> (axis == LFrequencyAxis::Horizontal ? hz_ : vz_);
}

bool LFrequencyWindowModel::Scroll(LFrequencyAxis axis, LFrequencyScroll action, int32_t thumb)
{
    int32_t& pos = axis == LFrequencyAxis::Horizontal ? hPos_ : vPos_;
    const int32_t page = PageSize(axis);
    int32_t target = pos;
    switch (action) {
    case LFrequencyScroll::LineBack: target = pos - 1; break;
    case LFrequencyScroll::LineForward: target = pos + 1; break;
    case LFrequencyScroll::PageBack: target = pos - (page + 1); break;
    case LFrequencyScroll::PageForward: target = pos + page + 1; break;
    case LFrequencyScroll::Thumb: target = thumb; break;
    }
    target = std::clamp(target, 0, Limit(axis));
    if (target == pos)
        return false;
    pos = target;
    return true;
}

std::vector<int32_t> LFrequencyWindowModel::FrequencyGridX(int32_t stepHz) const
{
    std::vector<int32_t> xs;
    if (stepHz <= 0)
        return xs;
    for (int32_t f = stepHz; f < data_.sampleRate / 2; f += stepHz) {
        int32_t x = MapIndextoPixelX(f);
        if (x >= 0 && x <= width_)
            xs.push_back(x);
    }
    return xs;
}

std::vector<int32_t> LFrequencyWindowModel::LevelGridY() const
{
    std::vector<int32_t> ys;
    for (int32_t db = 6; db <= 126; db += 6) {
        int32_t y = ((db * height_) >> (7 - vz_)) - VerticalOffset();
        if (y >= 0 && y < height_)
            ys.push_back(y);
    }
    return ys;
}

int32_t LFrequencyWindowModel::CurveY(int32_t channel, int32_t x) const
{
    return LevelToY(data_.Level(channel, MapPixelXtoIndex(x)));
}
