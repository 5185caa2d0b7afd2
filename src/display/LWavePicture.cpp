#include "display/LWavePicture.h"

#include <algorithm>

namespace {
int32_t SaturatingAdd(int32_t a, int32_t b) { return int32_t(std::clamp<int64_t>(int64_t(a) + b, INT32_MIN, INT32_MAX)); }
} // namespace

LWaveRole LWavePicture::Role(int32_t x) const
{
    if (x == CursorColumn())
        return LWaveRole::CursorLine;
    if (x < map.FrameToPixel(0) || x >= map.FrameToPixel(end))
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

LWavePicture::Span LWavePicture::ColumnSpan(int32_t x) const
{
    const int32_t up = upper[size_t(x)];
    const int32_t down = symmetric ? up : lower[size_t(x)];
    const int32_t mid = height / 2;
    int32_t top = std::clamp(mid - up * height / 512, 1, height);
    int32_t bottom = std::clamp(mid + down * height / 512 + 1, top, height);
    return {top, bottom};
}
