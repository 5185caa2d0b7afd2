#include "display/LKVFileWindowModel.h"

#include <algorithm>

LKVFileWindowModel::LKVFileWindowModel(LKVFile& file) : file_(file) {}

void LKVFileWindowModel::InitWavWindow()
{
    const int32_t length = Length();
    const int32_t mode = file_.displayMode == kWaveModeLeftRight ? kWaveModeLeftRight : kWaveModePosNeg;
    overview_.SetEnd(length);
    main_.SetEnd(length);
    overview_.Start(file_.audio, mode, false);
    overview_.SetView(0, length > 0 ? length : OneSecond());
    main_.Start(file_.audio, mode, file_.verticalZoom != 0);

    LKVFile::Positions& p = file_.pos;
    if (length == 0) {
        p.viewStart = 0;
        p.viewEnd = OneSecond();
    } else {
        p.viewEnd = std::min(p.viewEnd, length);
        if (p.viewStart >= length || p.viewStart < 0)
            p.viewStart = 0;
        if (p.viewEnd <= p.viewStart) {
            p.viewStart = 0;
            p.viewEnd = length;
        }
    }
    SetWavWindowMarkPos();
    overview_.SetCursor(p.cursor, 0);
    main_.SetCursor(p.cursor, 0);
    ApplyZoom();
}

void LKVFileWindowModel::SetWavWindowMarkPos()
{
    for (LKVWaveModel* v : {&overview_, &main_}) {
        v->SetSelectionStart(file_.pos.selStart);
        v->SetSelectionEnd(file_.pos.selEnd);
    }
}

void LKVFileWindowModel::ModifyZoom(int32_t start, int32_t end)
{
    file_.pos.viewStart = std::max(start, 0);
    file_.pos.viewEnd = std::min(end, Length());
    ApplyZoom();
}

void LKVFileWindowModel::ApplyZoom()
{
    main_.SetView(file_.pos.viewStart, int32_t(int64_t(file_.pos.viewEnd) - file_.pos.viewStart));
}

void LKVFileWindowModel::ShowWidth(int32_t start, int32_t width)
{
    const int32_t length = Length();
    width = std::min(width, length);
    start = std::clamp(start, 0, length - width);
    ModifyZoom(start, start + width);
}

void LKVFileWindowModel::CmZoomIn()
{
    if (Length() == 0)
        return;
    const int32_t w = std::max(int32_t((int64_t(file_.pos.viewEnd) - file_.pos.viewStart) / 2), kMinZoomFrames);
    ShowWidth(std::max(file_.pos.cursor - w / 2, 0), w);
}

void LKVFileWindowModel::CmZoomOut()
{
    const int32_t length = Length();
    if (length == 0)
        return;
    const int32_t w = int32_t(std::min<int64_t>(2 * (int64_t(file_.pos.viewEnd) - file_.pos.viewStart), length));
    ShowWidth(std::max(file_.pos.viewStart - w / 4, 0), w);
}

void LKVFileWindowModel::CmZoomToSelection()
{
    if (IsValidSelection())
        ModifyZoom(file_.pos.selStart, file_.pos.selEnd);
}

void LKVFileWindowModel::CmZoomFull()
{
    if (Length() > 0)
        ModifyZoom(0, Length());
}

void LKVFileWindowModel::CmZoomVertical()
{
    file_.verticalZoom = file_.verticalZoom ? 0 : 1;
    InitWavWindow();
}

void LKVFileWindowModel::CmSetWavDisplayMode(int32_t mode)
{
    file_.displayMode = uint8_t(mode == kWaveModeLeftRight ? kWaveModeLeftRight : kWaveModePosNeg);
    InitWavWindow();
}

int32_t LKVFileWindowModel::ScrollTarget(LScrollAction action, int32_t thumb) const
{
    const int64_t length = Length();
    const int64_t twoSeconds = 2 * int64_t(OneSecond());
    const int64_t cursor = file_.pos.cursor;
    int64_t target = cursor;
    switch (action) {
    case LScrollAction::LineLeft:
    case LScrollAction::PageLeft: target = std::max<int64_t>(cursor - twoSeconds, 0); break;
    case LScrollAction::LineRight:
    case LScrollAction::PageRight: target = cursor + twoSeconds; break;
    case LScrollAction::Thumb: target = int64_t(double(length) * thumb * 0.005); break;
    case LScrollAction::Start: target = 0; break;
    case LScrollAction::End: target = length; break;
    }
    return int32_t(std::clamp<int64_t>(target, 0, length));
}

int32_t LKVFileWindowModel::ScrollBarPos() const
{
    const int64_t length = Length();
    if (length <= 0)
        return 0;
    return int32_t(std::clamp<int64_t>(int64_t(file_.pos.cursor) * kScrollRange / length, 0, kScrollRange));
}

void LKVFileWindowModel::CursorMoved(bool cueing)
{
    LKVFile::Positions& p = file_.pos;
    overview_.SetCursor(p.cursor, 0);
    main_.SetCursor(p.cursor, cueing ? int32_t(int64_t(OneSecond()) * 25 / 1000) : 0);
    const int64_t width = int64_t(p.viewEnd) - p.viewStart;
    if (p.cursor > p.viewEnd) {
        p.viewEnd = p.cursor;
        p.viewStart = int32_t(p.viewEnd - width);
        ApplyZoom();
    } else if (p.cursor < p.viewStart) {
        p.viewStart = p.cursor;
        p.viewEnd = int32_t(std::min<int64_t>(p.viewStart + width, INT32_MAX));
        ApplyZoom();
    }
}

void LKVFileWindowModel::ShowChange()
{
    const LKVFile::Positions& p = file_.pos;
    if (p.cursor >= p.viewStart && p.cursor < p.viewEnd)
        return;
    const int32_t width = int32_t(int64_t(p.viewEnd) - p.viewStart);
    ShowWidth(std::max(int32_t(int64_t(p.cursor) - width / 10), 0), width);
}

bool LKVFileWindowModel::DragScrollStep(int32_t direction)
{
    const int32_t length = Length();
    const int32_t width = int32_t(int64_t(file_.pos.viewEnd) - file_.pos.viewStart);
    const int32_t step = std::max(width / 10, 1);
    int32_t start = file_.pos.viewStart;
    if (direction == kWaveDragRight)
        start = int32_t(std::min<int64_t>(int64_t(start) + step, std::max(length - width, 0)));
    else if (direction == kWaveDragLeft)
        start = std::max(start - step, 0);
    if (start == file_.pos.viewStart)
        return false;
    file_.pos.viewStart = start;
    file_.pos.viewEnd = start + width;
    ApplyZoom();
    return true;
}
