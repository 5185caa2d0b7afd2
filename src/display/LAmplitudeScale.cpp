#include "display/LAmplitudeScale.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// Percent steps in tenths of a percent, finest first.
constexpr int32_t kPercentSteps[] = {10, 20, 25, 50, 100, 200, 250, 500, 1000};
// Decibel marks worth a label, loudest first.
constexpr int32_t kDecibels[] = {0,   -1,  -2,  -3,  -4,  -5,  -6,  -8,  -9,  -10, -12, -15,
                                 -18, -20, -21, -24, -27, -30, -36, -42, -48, -54, -60, -72};

std::string PercentLabel(int32_t tenths, bool negative)
{
    char text[16];
    if (tenths % 10 == 0)
        std::snprintf(text, sizeof text, "%s%d", negative ? "-" : "", tenths / 10);
    else
        std::snprintf(text, sizeof text, "%s%d.%d", negative ? "-" : "", tenths / 10, tenths % 10);
    return text;
}

} // namespace

double LAmplitudeScale::Offset(const LWavePicture::Lane& lane, bool verticalZoom, double level)
{
    // A column value is the sample >> 11 (>> 8 magnified), full scale 0x7FFF0,
    // drawn value * scale / 512 rows from the centre.
    const double fullValue = double(0x7FFF0) / double(1 << (verticalZoom ? 8 : 11));
    return level * fullValue * double(lane.scale) / 512.0;
}

std::vector<LAmplitudeScale::Mark> LAmplitudeScale::Marks(const LWavePicture::Lane& lane, bool verticalZoom,
                                                          Below below, Unit unit, int32_t textHeight)
{
    std::vector<Mark> above;
    const int32_t spacing = textHeight + 2;
    // The loudest level the lane shows: full scale, an eighth of it magnified.
    // A mark there sits on the lane's first row, where that wave reaches.
    const int32_t topTenths = verticalZoom ? 125 : 1000;
    const auto rowOf = [&](double level) {
        return std::max(lane.mid - int32_t(std::lround(Offset(lane, verticalZoom, level))), lane.top);
    };
    if (unit == Unit::Percent) {
        // The finest step that leaves room, preferring one that reaches the top exactly.
        int32_t chosen = 0;
        for (bool exact : {true, false}) {
            for (int32_t step : kPercentSteps)
                if (step <= topTenths && (!exact || topTenths % step == 0) &&
                    Offset(lane, verticalZoom, step / 1000.0) >= spacing) {
                    chosen = step;
                    break;
                }
            if (chosen)
                break;
        }
        for (int32_t v = chosen; chosen > 0 && v <= topTenths; v += chosen)
            above.push_back({rowOf(v / 1000.0), PercentLabel(v, false)});
    } else {
        for (int32_t dB : kDecibels) {
            const double level = std::pow(10.0, dB / 20.0);
            // -18 dB is a hair louder than an eighth: still the top of a magnified lane.
            if (level > topTenths / 1000.0 * 1.01)
                continue;
            const int32_t row = rowOf(level);
            // Room below it for the centre mark, room above it for the louder one taken.
            if (lane.mid - row < spacing)
                break;
            if (above.empty() || row - above.back().row >= spacing)
                above.push_back({row, std::to_string(dB)});
        }
    }
    std::sort(above.begin(), above.end(), [](const Mark& a, const Mark& b) { return a.row < b.row; });
    std::vector<Mark> marks = above;
    marks.push_back({lane.mid, unit == Unit::Percent ? "0" : "-\xE2\x88\x9E"});
    for (auto it = above.rbegin(); it != above.rend(); ++it) {
        Mark m{2 * lane.mid - it->row, it->label};
        if (unit == Unit::Percent && below == Below::Negative)
            m.label = "-" + m.label;
        marks.push_back(std::move(m));
    }
    return marks;
}

std::vector<LAmplitudeScale::Mark> LAmplitudeScale::PictureMarks(const LWavePicture& picture, bool verticalZoom,
                                                                 Below below, Unit unit, int32_t textHeight)
{
    std::vector<Mark> marks;
    for (int32_t lane = 0; lane < std::max(picture.lanes, 1); ++lane)
        for (Mark& m : Marks(picture.LaneRows(lane), verticalZoom, below, unit, textHeight))
            if (marks.empty() || m.row - marks.back().row >= textHeight + 2)
                marks.push_back(std::move(m));
    return marks;
}
