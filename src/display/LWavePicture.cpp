#include "display/LWavePicture.h"

#include <algorithm>

namespace {
int32_t SaturatingAdd(int32_t a, int32_t b) { return int32_t(std::clamp<int64_t>(int64_t(a) + b, INT32_MIN, INT32_MAX)); }
} // namespace

LWaveRole LWavePicture::Role(int32_t x) const
{
    if (x == CursorColumn())
        return LWaveRole::CursorLine;
    // An empty document is drawn on the wave's own background, like a full one;
    // the past-the-end colours mark where audio stops, and it has none to stop.
    if (end > 0 && (x < map.FrameToPixel(0) || x >= map.FrameToPixel(end)))
        return LWaveRole::PastEnd;
    const bool inSelection = x >= map.FrameToPixel(selStart) && x < map.FrameToPixel(selEnd);
    if (band > 0 && x >= map.FrameToPixel(cursor) && x < map.FrameToPixel(SaturatingAdd(cursor, band)))
        return inSelection ? LWaveRole::BandInSelection : LWaveRole::BandOutsideSelection;
    return inSelection ? LWaveRole::Selection : LWaveRole::Normal;
}

int32_t LWavePicture::CursorColumn() const
{
    int32_t p = map.FrameToPixel(cursor);
    if (p < 0)
        return -1;
    return std::min(p, map.Width() - 1);
}

LWavePicture::Lane LWavePicture::LaneRows(int32_t lane) const
{
    if (lanes < 2)
        return {1, height, height / 2, height};
    const int32_t half = height / 2;
    if (lane == 0)
        return {1, half, half / 2, half};
    // Both lanes measure their values against the same scale height.
    return {half + 1, height, half + (height - half) / 2, half};
}

LWavePicture::Span LWavePicture::ColumnSpan(int32_t x, int32_t lane) const
{
    const size_t at = size_t(x) + (lane > 0 && lanes > 1 ? size_t(kWaveLaneStride) : 0);
    const int32_t up = upper[at];
    const int32_t down = symmetric ? up : lower[at];
    const Lane l = LaneRows(lane);
    const int32_t top = std::clamp(l.mid - up * l.scale / 512, l.top, l.end);
    const int32_t bottom = std::clamp(l.mid + down * l.scale / 512 + 1, top, l.end);
    return {top, bottom};
}

int32_t LWavePicture::RowOf(int32_t lane, int32_t value, bool below) const
{
    const Lane l = LaneRows(lane);
    return below ? l.mid + value * l.scale / 512 : l.mid - value * l.scale / 512;
}
