#include "effects/CreateEqFromPointList.h"

#include <algorithm>
#include <cmath>

LEqGainTable CreateEqFromPointList(const PointList& points, int32_t rate)
{
    LEqGainTable table;
    const double s = 320000.0 / (rate > 0 ? rate : 44100);
    const int32_t count = std::min<int32_t>(points.nPoints, PointList::kMaxPoints);
    const auto at = [&](int32_t i) { return points.points[size_t(i)]; };
    int32_t c = 0;
    for (int32_t i = 0; i + 1 < count; ++i) {
        const int32_t end = int32_t(std::floor(at(i + 1).x * s));
        const double slope = c < end ? double(int32_t(at(i + 1).y) - at(i).y) / (end - c) : 0.0;
        const int32_t stop = std::min(end, 2048);
        for (int32_t k = c; k < stop; ++k)
            table[size_t(k)] = uint8_t(at(i).y + int32_t(std::floor((k - c) * slope)));
        c = std::max(c, stop);
    }
    std::fill(table.begin() + c, table.end(), count > 0 ? at(count - 1).y : uint8_t(128));
    return table;
}
