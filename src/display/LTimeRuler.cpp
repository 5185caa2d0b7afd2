#include "display/LTimeRuler.h"

#include <algorithm>
#include <cmath>

#include <cinttypes>
#include <cstdio>

namespace {

// Steps between labelled ticks in ms: what a clock shows, up to a day.
constexpr int64_t kTimeSteps[] = {
    10,      20,      50,      100,     200,      500,      1000,     2000,     5000,
    10000,   15000,   30000,   60000,   120000,   300000,   600000,   900000,   1800000,
    3600000, 7200000, 10800000, 21600000, 43200000, 86400000, 172800000, 432000000, 864000000,
    1728000000, 4320000000,
};

bool IsTimeStep(int64_t ms)
{
    return ms == 1 || ms == 2 || ms == 5 || std::find(std::begin(kTimeSteps), std::end(kTimeSteps), ms) != std::end(kTimeSteps);
}

// 1, 2, 5, 10, 20, 50, ...
bool IsDecimalStep(int64_t v)
{
    while (v >= 10 && v % 10 == 0)
        v /= 10;
    return v == 1 || v == 2 || v == 5;
}

int64_t NextDecimalStep(int64_t v)
{
    int64_t scale = 1;
    while (v >= 10) {
        v /= 10;
        scale *= 10;
    }
    return (v == 1 ? 2 : v == 2 ? 5 : 10) * scale;
}

struct Candidate {
    bool frames;
    int64_t step;       // ms or frames
    double frameStep;   // frames between major ticks
};

double FramesOf(const Candidate& c, int64_t value, int32_t rate)
{
    return c.frames ? double(value) : double(value) * rate / 1000.0;
}

std::string LabelOf(const Candidate& c, int64_t value)
{
    return c.frames ? std::to_string(value) : LTimeRuler::TimeLabel(value);
}

// The major ticks of `c` over the view, or false when two labels would come
// closer than `gap`.
bool Majors(const Candidate& c, const LWaveMapping& map, int32_t rate, const LTextWidth& textWidth, int32_t gap,
            std::vector<LTimeRuler::Tick>& ticks, std::vector<int64_t>& values)
{
    ticks.clear();
    values.clear();
    const int32_t width = map.Width();
    const double first = std::max(0.0, double(map.PixelToFrame(0)));
    const double last = double(map.PixelToFrame(width)) + 1.0;
    const double firstValue = c.frames ? first : first * 1000.0 / rate;
    int64_t k = int64_t(std::floor(firstValue / double(c.step)));
    int32_t previousEnd = INT32_MIN;
    for (;; ++k) {
        const int64_t value = k * c.step;
        const double frame = FramesOf(c, value, rate);
        if (frame > last)
            break;
        const int64_t column = map.ColumnOf(frame);
        if (column < 0)
            continue;
        if (column > width)
            break;
        LTimeRuler::Tick t{int32_t(column), true, LabelOf(c, value), 0};
        t.labelWidth = textWidth(t.label);
        const int32_t start = t.column + LTimeRuler::kLabelOffset;
        if (previousEnd != INT32_MIN && start < previousEnd + gap)
            return false;
        previousEnd = start + t.labelWidth;
        ticks.push_back(std::move(t));
        values.push_back(value);
    }
    return true;
}

// The most minor ticks between majors that stay kMinorSpacing apart and fall
// on round values themselves.
int64_t MinorDivisions(const Candidate& c, double pixelsPerStep)
{
    for (int64_t n : {10, 6, 5, 4, 3, 2}) {
        if (c.step % n != 0 || pixelsPerStep / double(n) < LTimeRuler::kMinorSpacing)
            continue;
        const int64_t minor = c.step / n;
        if (c.frames ? IsDecimalStep(minor) : IsTimeStep(minor))
            return n;
    }
    return 1;
}

} // namespace

std::string LTimeRuler::TimeLabel(int64_t ms)
{
    // The read-outs' h:mm:ss.cc, for any number of hours.
    const int64_t cs = (std::max<int64_t>(ms, 0) + 5) / 10;
    char text[40];
    std::snprintf(text, sizeof text, "%" PRId64 ":%02" PRId64 ":%02" PRId64 ".%02" PRId64, cs / 360000,
                  cs / 6000 % 60, cs / 100 % 60, cs % 100);
    return text;
}

LTimeRuler::Layout LTimeRuler::Compute(const LWaveMapping& map, int32_t rate, const LTextWidth& textWidth, int32_t gap)
{
    Layout layout;
    if (map.ViewLength() < 1 || rate < 1)
        return layout;
    const double ppf = map.PixelsPerFrame();
    std::vector<Tick> majors;
    std::vector<int64_t> values;

    // The label at the right edge is about as wide as any the view has, which
    // rules out the steps that are plainly too close before any is tried.
    const int32_t rightFrame = std::max(map.PixelToFrame(map.Width()), 0);
    const double timeNeed = double(textWidth(TimeLabel(int64_t(double(rightFrame) * 1000.0 / rate))) + gap +
                                   kLabelOffset);
    const double frameNeed = double(textWidth(std::to_string(rightFrame)) + gap + kLabelOffset);

    Candidate chosen{false, 0, 0.0};
    for (int64_t ms : kTimeSteps) {
        const Candidate c{false, ms, double(ms) * rate / 1000.0};
        if (c.frameStep * ppf + 1.0 < timeNeed)
            continue;
        if (Majors(c, map, rate, textWidth, gap, majors, values)) {
            chosen = c;
            break;
        }
    }
    // Centiseconds are too coarse once a finer step fits: count frames.
    if (chosen.step == kTimeSteps[0] || chosen.step == 0) {
        for (int64_t f = 1; double(f) < double(rate) / 100.0; f = NextDecimalStep(f)) {
            const Candidate c{true, f, double(f)};
            if (c.frameStep * ppf + 1.0 < frameNeed)
                continue;
            std::vector<Tick> t;
            std::vector<int64_t> v;
            if (Majors(c, map, rate, textWidth, gap, t, v)) {
                chosen = c;
                majors = std::move(t);
                values = std::move(v);
                break;
            }
        }
    }
    if (chosen.step == 0)
        return layout;
    layout.frames = chosen.frames;
    layout.step = chosen.step;

    const int32_t width = map.Width();
    const int64_t divisions = MinorDivisions(chosen, chosen.frameStep * ppf);
    const double first = std::max(0.0, double(map.PixelToFrame(0)));
    const double firstValue = chosen.frames ? first : first * 1000.0 / rate;
    const int64_t minorStep = chosen.step / divisions;
    size_t next = 0;
    for (int64_t k = int64_t(std::floor(firstValue / double(minorStep)));; ++k) {
        const int64_t value = k * minorStep;
        const int64_t column = map.ColumnOf(FramesOf(chosen, value, rate));
        if (column > width)
            break;
        if (column < 0)
            continue;
        if (k % divisions == 0) {
            while (next < values.size() && values[next] < value)
                ++next;
            if (next < values.size() && values[next] == value) {
                Tick t = majors[next];
                // A label is shown whole or not at all.
                if (t.column + kLabelOffset + t.labelWidth > width + 1) {
                    t.label.clear();
                    t.labelWidth = 0;
                }
                layout.ticks.push_back(std::move(t));
                continue;
            }
        }
        layout.ticks.push_back({int32_t(column), false, {}, 0});
    }
    return layout;
}
