#include "display/LSpectrogramAxis.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {
constexpr double kLowestLogFrequency = 20.0;
} // namespace

LSpectrogramAxis::LSpectrogramAxis(int32_t sampleRate, int32_t fftSize, bool logarithmic, int32_t rows)
    : rate_(std::max(sampleRate, 1)), fftSize_(std::max(fftSize, 2)), log_(logarithmic), rows_(std::max(rows, 1))
{
    high_ = rate_ / 2.0;
    low_ = log_ ? std::min(std::max(kLowestLogFrequency, double(rate_) / fftSize_), high_ / 2) : 0.0;
}

double LSpectrogramAxis::FrequencyAt(double row) const
{
    const double t = 1.0 - row / rows_;  // 0 at the bottom, 1 at the top
    if (log_)
        return low_ * std::pow(high_ / low_, t);
    return high_ * t;
}

double LSpectrogramAxis::RowOf(double frequency) const
{
    double t;
    if (log_)
        t = frequency > 0 ? std::log(frequency / low_) / std::log(high_ / low_) : -1.0;
    else
        t = frequency / high_;
    return (1.0 - t) * rows_;
}

void LSpectrogramAxis::BinsOfRow(int32_t row, int32_t& first, int32_t& last) const
{
    const double perBin = double(rate_) / fftSize_;
    const int32_t top = fftSize_ / 2;
    const double fHigh = FrequencyAt(row), fLow = FrequencyAt(row + 1);
    first = int32_t(std::ceil(fLow / perBin - 0.5));
    last = int32_t(std::ceil(fHigh / perBin - 0.5)) - 1;
    if (row == 0)
        last = top;
    if (last < first) {
        // A row thinner than a bin: the bin nearest its centre.
        first = last = int32_t(std::lround(FrequencyAt(row + 0.5) / perBin));
    }
    first = std::clamp(first, 0, top);
    last = std::clamp(last, first, top);
}

std::vector<LSpectrogramAxis::Label> LSpectrogramAxis::Labels(int32_t spacing) const
{
    spacing = std::max(spacing, 1);
    std::vector<double> candidates;
    if (log_) {
        for (double decade = 10.0; decade <= high_; decade *= 10.0)
            for (double m : {1.0, 2.0, 5.0})
                candidates.push_back(m * decade);
    } else {
        // The smallest round step that keeps the labels `spacing` rows apart.
        double step = 0.0;
        for (double decade = 10.0; step == 0.0 && decade <= 1e6; decade *= 10.0)
            for (double m : {1.0, 2.0, 5.0})
                if (step == 0.0 && m * decade / high_ * rows_ >= spacing)
                    step = m * decade;
        if (step == 0.0)
            step = high_;
        for (double f = 0.0; f <= high_; f += step)
            candidates.push_back(f);
    }
    std::vector<Label> labels;
    double lastRow = rows_ + spacing;  // below the axis: nothing to keep apart from yet
    for (double f : candidates) {
        const double r = RowOf(f);
        if (r < spacing / 2.0 || r > rows_ - spacing / 2.0 || lastRow - r < spacing)
            continue;
        labels.push_back({int32_t(std::lround(r)), Text(f)});
        lastRow = r;
    }
    return labels;
}

std::string LSpectrogramAxis::Text(double frequency)
{
    char text[32];
    if (frequency < 1000.0) {
        std::snprintf(text, sizeof text, "%d Hz", int32_t(std::lround(frequency)));
        return text;
    }
    std::snprintf(text, sizeof text, "%.2f", frequency / 1000.0);
    std::string s = text;
    while (s.back() == '0')
        s.pop_back();
    if (s.back() == '.')
        s.pop_back();
    return s + " kHz";
}
