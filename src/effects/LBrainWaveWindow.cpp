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
    r = InsertAt(std::min<int32_t>(at, points.nPoints), x, y);
    r.cursor = Cursor::Hand;
    return r;
}

LBrainWaveWindow::Result LBrainWaveWindow::InsertAt(int32_t at, int32_t x, int32_t y)
{
    std::copy_backward(points.points.begin() + at, points.points.begin() + points.nPoints,
                       points.points.begin() + points.nPoints + 1);
    points.points[size_t(at)] = {uint8_t(x), uint8_t(y)};
    ++points.nPoints;
    selected = at;
    return Repaint(at, {});
}

LBrainWaveWindow::Result LBrainWaveWindow::InsertAfterSelected()
{
    if (points.nPoints < 2 || points.nPoints >= kInsertLimit)
        return {};
    const int32_t from = std::clamp<int32_t>(selected, 0, points.nPoints - 2);
    const PointList::Point a = points.points[size_t(from)], b = points.points[size_t(from + 1)];
    Result r = InsertAt(from + 1, (a.x + b.x) / 2, (a.y + b.y) / 2);
    keyChange_ = true;
    const PointList::Point p = points.points[size_t(selected)];
    r.notify.push_back({kMsgPosition, p.x, p.y});
    return r;
}

int32_t LBrainWaveWindow::MoveSelectedTo(int32_t x, int32_t y)
{
    const int32_t last = points.nPoints - 1;
    int32_t nx = 0;
    if (selected == 0)
        nx = 0;
    else if (selected == last)
        nx = 255;
    else
        nx = std::clamp<int32_t>(x, points.points[size_t(selected - 1)].x, points.points[size_t(selected + 1)].x);
    points.points[size_t(selected)] = {uint8_t(nx), uint8_t(std::clamp(y, 0, 255))};
    return nx;
}

LBrainWaveWindow::Result LBrainWaveWindow::MouseMove(int32_t mouseX, int32_t mouseY, bool leftHeld)
{
    const int32_t x = PointX(mouseX);
    const int32_t y = PointY(mouseY);
    Result r;
    if (leftHeld && captured && SelectedIsValid()) {
        const int32_t nx = MoveSelectedTo(x, y);
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
    const int32_t hit = HitTest(PointX(mouseX), PointY(mouseY));
    if (hit >= 0)
        selected = hit;
    return RemovePoint();
}

LBrainWaveWindow::Result LBrainWaveWindow::RemoveSelected()
{
    Result r = RemovePoint();
    keyChange_ = keyChange_ || r.repaint;
    return r;
}

LBrainWaveWindow::Result LBrainWaveWindow::RemovePoint()
{
    Result r;
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

LBrainWaveWindow::Result LBrainWaveWindow::Nudge(int32_t dx, int32_t dy)
{
    Result r;
    if (!SelectedIsValid())
        return r;
    const PointList::Point p = points.points[size_t(selected)];
    const int32_t y = std::clamp(p.y + dy, 0, 255);
    const int32_t nx = MoveSelectedTo(p.x + dx, y);
    keyChange_ = true;
    r.notify.push_back({kMsgPosition, nx, y});
    return Repaint(selected, r);
}

LBrainWaveWindow::Result LBrainWaveWindow::KeyUp()
{
    Result r;
    if (keyChange_)
        r.notify.push_back({kMsgChanged, 0, 0});
    keyChange_ = false;
    return r;
}

LBrainWaveWindow::Result LBrainWaveWindow::SelectStep(int32_t step)
{
    Result r;
    if (points.nPoints == 0)
        return r;
    const int32_t before = std::clamp<int32_t>(selected, 0, points.nPoints - 1);
    selected = std::clamp<int32_t>(before + step, 0, points.nPoints - 1);
    const PointList::Point p = points.points[size_t(selected)];
    r.notify.push_back({kMsgPosition, p.x, p.y});
    r = Repaint(before, r);
    const Result now = Repaint(selected, {});
    r.repaintLeft = std::min(r.repaintLeft, now.repaintLeft);
    r.repaintRight = std::max(r.repaintRight, now.repaintRight);
    return r;
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
