#include "effects/LBrainWaveWindow.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "core/LSoundTime.h"

void LBrainWaveWindow::SetSize(int32_t width, int32_t height)
{
    width_ = std::clamp(width, 1, 2048);
    height_ = std::max(height, 1);  // a zero height would divide by zero in PointY
}

int32_t LBrainWaveWindow::PointX(int32_t mouseX) const
{
    return int32_t(std::clamp<int64_t>(int64_t(mouseX) * 256 / width_, 0, 255));
}

int32_t LBrainWaveWindow::PointY(int32_t mouseY) const
{
    return int32_t(std::clamp<int64_t>(255 - int64_t(mouseY) * 256 / height_, 0, 255));
}

int32_t LBrainWaveWindow::HitTest(int32_t x, int32_t y) const
{
    for (int32_t i = 0; i < points.nPoints; ++i) {
        const PointList::Point& p = points.points[size_t(i)];
        if (std::abs(p.x - x) <= kHitUnits && std::abs(p.y - y) <= kHitUnits)
            return i;
    }
    return -1;
}

LBrainWaveWindow::Result LBrainWaveWindow::Repaint(int32_t index, Result r) const
{
    r.repaint = true;
    const int32_t lo = std::max(index - 1, 0);
    const int32_t hi = std::min<int32_t>(index + 1, std::max<int32_t>(points.nPoints - 1, 0));
    r.repaintLeft = PixelX(points.points[size_t(lo)].x);
    r.repaintRight = PixelX(points.points[size_t(hi)].x);
    return r;
}

LBrainWaveWindow::Result LBrainWaveWindow::LeftDown(int32_t mouseX, int32_t mouseY)
{
    captured = true;
    const int32_t x = PointX(mouseX);
    const int32_t y = PointY(mouseY);
    Result r;
    const int32_t hit = HitTest(x, y);
    if (hit >= 0) {
        selected = hit;
        r.cursor = Cursor::Hand;
        return r;
    }
    if (points.nPoints >= kInsertLimit)
        return r;
    int32_t at = 1;
    while (at < points.nPoints && points.points[size_t(at)].x <= x)
        ++at;
    at = std::min<int32_t>(at, points.nPoints);
    std::copy_backward(points.points.begin() + at, points.points.begin() + points.nPoints,
                       points.points.begin() + points.nPoints + 1);
    points.points[size_t(at)] = {uint8_t(x), uint8_t(y)};
    ++points.nPoints;
    selected = at;
    r.cursor = Cursor::Hand;
    return Repaint(at, r);
}

LBrainWaveWindow::Result LBrainWaveWindow::MouseMove(int32_t mouseX, int32_t mouseY, bool leftHeld)
{
    const int32_t x = PointX(mouseX);
    const int32_t y = PointY(mouseY);
    Result r;
    if (leftHeld && captured && selected >= 0 && selected < points.nPoints) {
        const int32_t last = points.nPoints - 1;
        int32_t nx = x;
        if (selected == 0)
            nx = 0;
        else if (selected == last)
            nx = 255;
        else
            nx = std::clamp<int32_t>(x, points.points[size_t(selected - 1)].x, points.points[size_t(selected + 1)].x);
        points.points[size_t(selected)] = {uint8_t(nx), uint8_t(y)};
        r.notify.push_back({kMsgPosition, nx, y});
        r.cursor = Cursor::Hand;
        return Repaint(selected, r);
    }
    r.notify.push_back({kMsgPosition, x, y});
    hover = HitTest(x, y) >= 0;
    r.cursor = hover ? Cursor::Hand : Cursor::Arrow;
    return r;
}

LBrainWaveWindow::Result LBrainWaveWindow::RightDown(int32_t mouseX, int32_t mouseY)
{
    captured = true;
    Result r;
    const int32_t hit = HitTest(PointX(mouseX), PointY(mouseY));
    if (hit >= 0)
        selected = hit;
    // After "Set Flat" the index may name a point that is gone: it removes nothing.
    if (selected <= 0 || selected >= points.nPoints - 1) {
        selected = std::clamp<int32_t>(selected, 0, std::max<int32_t>(points.nPoints - 1, 0));
        return r;
    }
    const int32_t removed = selected;
    std::copy(points.points.begin() + removed + 1, points.points.begin() + points.nPoints,
              points.points.begin() + removed);
    --points.nPoints;
    // Leave the first point selected, which a right click never removes, so a
    // later click on empty space cannot delete a point nobody pointed at.
    selected = 0;
    return Repaint(removed - 1, r);
}

LBrainWaveWindow::Result LBrainWaveWindow::ButtonUp()
{
    captured = false;
    Result r;
    r.notify.push_back({kMsgChanged, 0, 0});
    return r;
}

std::string LBrainWaveWindow::EnvelopeReadout(int32_t x, int32_t y, int32_t selectionStartMs, int32_t selectionLengthMs)
{
    const int64_t ms = int64_t(selectionStartMs) + int64_t(x) * selectionLengthMs / 255;
    LSoundTime t(int32_t(std::clamp<int64_t>(ms, INT32_MIN, INT32_MAX)));
    char text[64];
    std::snprintf(text, sizeof text, "(%s, %d %%)", t.GetTextCs().c_str(), y * 200 / 255);
    return text;
}

std::string LBrainWaveWindow::EqualizerReadout(int32_t x, int32_t y)
{
    char text[64];
    std::snprintf(text, sizeof text, "%d Hz, %d %%", x * 20000 / 255, y * 200 / 256);
    return text;
}
