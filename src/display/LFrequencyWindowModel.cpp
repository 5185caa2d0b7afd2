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

// 10, 20, 50, 100, 200, ...
int32_t Next125(int32_t step)
{
    int32_t scale = 1;
    while (step >= 10) {
        step /= 10;
        scale *= 10;
    }
    return (step == 1 ? 2 : step == 2 ? 5 : 10) * scale;
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
    const double share = logarithmic_ ? (std::pow(16.0, t) - 1.0) / 15.0 : t;
    const int32_t bin = int32_t(std::trunc(VisibleBins() * share)) + FirstVisibleBin();
    return std::min(bin, kSpectrumBins - 1);
}

int32_t LFrequencyWindowModel::MapIndextoPixelX(int32_t frequency) const
{
    const int32_t bin = SpectrumFrequencyBin(frequency, data_.sampleRate);
    const double u = double(bin - FirstVisibleBin()) / VisibleBins();
    // Bins far left of the window would take the logarithm below zero.
    const double t = logarithmic_ ? std::log(std::max(1.0 + 15.0 * u, 1e-9)) / std::log(16.0) : u;
    const double x = std::trunc(VirtualWidth() * t);
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

std::string LFrequencyWindowModel::FrequencyText(int32_t hz)
{
    char text[32];
    if (hz < 1000)
        std::snprintf(text, sizeof text, "%d", hz);
    else if (hz % 1000 == 0)
        std::snprintf(text, sizeof text, "%dk", hz / 1000);
    else if (hz % 100 == 0)
        std::snprintf(text, sizeof text, "%d.%dk", hz / 1000, hz % 1000 / 100);
    else
        std::snprintf(text, sizeof text, "%d", hz);
    return text;
}

std::vector<LFrequencyWindowModel::AxisLabel> LFrequencyWindowModel::FrequencyLabels(const LTextWidth& textWidth,
                                                                                  int32_t gap) const
{
    std::vector<AxisLabel> labels;
    const int32_t nyquist = data_.sampleRate / 2;
    if (nyquist <= 0)
        return labels;
    // Candidates in order of preference: a logarithmic axis wants each decade's
    // 1, 2 and 5 first, then the steps between; a linear one an even step.
    std::vector<int32_t> frequencies;
    if (logarithmic_) {
        for (int32_t mantissas : {0, 1, 2})
            for (int32_t decade = 10; decade <= nyquist; decade *= 10) {
                static const int32_t kSets[3][4] = {{1, 0, 0, 0}, {2, 5, 0, 0}, {3, 4, 6, 8}};
                for (int32_t m : kSets[mantissas])
                    if (m > 0 && m * decade < nyquist)
                        frequencies.push_back(m * decade);
            }
    } else {
        // The first 1-2-5 step whose labels fit on the axis.
        const int32_t need = textWidth(FrequencyText(nyquist)) + gap;
        for (int32_t step = 10; step < nyquist; step = Next125(step)) {
            const int32_t a = MapIndextoPixelX(step), b = MapIndextoPixelX(2 * step);
            if (b - a >= need) {
                for (int32_t f = step; f < nyquist; f += step)
                    frequencies.push_back(f);
                break;
            }
        }
    }
    // Each candidate is taken when its label keeps clear of those taken before.
    std::vector<std::pair<int32_t, int32_t>> taken;  // left, right
    for (int32_t f : frequencies) {
        const std::string text = FrequencyText(f);
        const int32_t x = MapIndextoPixelX(f);
        const int32_t w = textWidth(text);
        const int32_t left = x - w / 2, right = left + w;
        if (x < 0 || left < 0 || right > width_)
            continue;
        bool clear = true;
        for (const auto& [l, r] : taken)
            if (left < r + gap && l < right + gap)
                clear = false;
        if (!clear)
            continue;
        taken.push_back({left, right});
        labels.push_back({x, text});
    }
    std::sort(labels.begin(), labels.end(), [](const AxisLabel& a, const AxisLabel& b) { return a.at < b.at; });
    return labels;
}

std::vector<LFrequencyWindowModel::AxisLabel> LFrequencyWindowModel::LevelLabels(int32_t spacing) const
{
    std::vector<AxisLabel> labels;
    int32_t last = INT32_MIN;
    for (int32_t db = 0; db <= 126; db += 6) {
        const int32_t y = ((db * height_) >> (7 - vz_)) - VerticalOffset();
        if (y < 0 || y >= height_ || (last != INT32_MIN && y - last < spacing))
            continue;
        labels.push_back({y, db == 0 ? "0" : "-" + std::to_string(db)});
        last = y;
    }
    return labels;
}
