#include "display/LKVFileWindowModel.h"

#include <algorithm>
#include <cmath>

LKVFileWindowModel::LKVFileWindowModel(LKVFile& file) : file_(file) {}

void LKVFileWindowModel::InitWavWindow()
{
    const int32_t length = Length();
    const int32_t mode =
        file_.displayMode <= kWaveModeSpectrogram ? int32_t(file_.displayMode) : int32_t(kWaveModePosNeg);
    overview_.SetEnd(length);
    main_.SetEnd(length);
    // The overview stays a wave: it is for finding one's way through the whole
    // document, and a spectrogram of all of it would cost as much as the main view.
    overview_.Start(file_.audio, mode == kWaveModeSpectrogram ? int32_t(kWaveModePosNeg) : mode, false);
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
    const bool known = mode == kWaveModeLeftRight || mode == kWaveModeLanes || mode == kWaveModeSpectrogram;
    file_.displayMode = uint8_t(known ? mode : kWaveModePosNeg);
    InitWavWindow();
}

void LKVFileWindowModel::SetSpectrogramOptions(int32_t fftSize, bool logFrequency)
{
    main_.SetSpectrogramOptions(fftSize, logFrequency);
}

LKVFileWindowModel::ScrollBar LKVFileWindowModel::ScrollBarState() const
{
    const LKVFile::Positions& p = file_.pos;
    const int32_t width = int32_t(std::clamp<int64_t>(int64_t(p.viewEnd) - p.viewStart, 1, INT32_MAX));
    const int32_t maximum = std::max(Length() - width, 0);
    return {maximum, width, std::max(width / 10, 1), std::clamp(p.viewStart, 0, maximum)};
}

void LKVFileWindowModel::ScrollViewTo(int32_t start)
{
    const LKVFile::Positions& p = file_.pos;
    if (Length() == 0)
        return;
    const int32_t width = int32_t(std::clamp<int64_t>(int64_t(p.viewEnd) - p.viewStart, 1, Length()));
    ShowWidth(start, width);
}

void LKVFileWindowModel::ScrollViewBy(int64_t frames)
{
    ScrollViewTo(int32_t(std::clamp<int64_t>(int64_t(file_.pos.viewStart) + frames, 0, INT32_MAX)));
}

void LKVFileWindowModel::Wheel(int32_t angle, int32_t pixels, int32_t column, int32_t width, bool zoom, bool fast)
{
    const int64_t viewWidth = int64_t(file_.pos.viewEnd) - file_.pos.viewStart;
    if (zoom) {
        if (angle != 0)
            ZoomAround(column, width, std::pow(kWheelZoomFactor, -double(angle) / kWheelNotch));
        return;
    }
    if (angle != 0) {
        const double perNotch = double(viewWidth) / (fast ? 2.0 : 10.0);
        ScrollViewBy(int64_t(std::llround(-double(angle) / kWheelNotch * perNotch)));
    } else if (pixels != 0) {
        // Content follows the fingers: moving them right shows what lies before.
        const double framesPerColumn = double(viewWidth) / double(std::max(width, 8));
        ScrollViewBy(int64_t(std::llround(-double(pixels) * framesPerColumn)));
    }
}

void LKVFileWindowModel::ZoomAround(int32_t column, int32_t width, double factor)
{
    const int32_t length = Length();
    LKVFile::Positions& p = file_.pos;
    const int32_t oldWidth = int32_t(std::clamp<int64_t>(int64_t(p.viewEnd) - p.viewStart, 1, INT32_MAX));
    if (length == 0 || !(factor > 0.0))
        return;
    const int32_t newWidth = int32_t(std::clamp<double>(std::round(oldWidth * factor), std::min(kMinZoomFrames, length),
                                                        length));
    if (newWidth == oldWidth)
        return;
    column = std::clamp(column, 0, std::max(width, 1) - 1);
    const int32_t frame = LWaveMapping::Of(width, p.viewStart, oldWidth).PixelToFrame(column);
    // The start that puts `frame` back under `column`: trunc(start * ppf) is the
    // start pixel, so try the starts around the exact one and keep the first
    // that maps the column onto the frame.
    const double ppf = double(std::max(width, 8)) / newWidth;
    const int64_t exact = int64_t(std::llround(frame - column / ppf));
    int64_t start = exact;
    for (int64_t d : {0, 1, -1, 2, -2}) {
        const LWaveMapping m = LWaveMapping::Of(width, int32_t(std::clamp<int64_t>(exact + d, INT32_MIN, INT32_MAX)), newWidth);
        if (m.PixelToFrame(column) <= frame && frame < m.PixelToFrame(column + 1)) {
            start = exact + d;
            break;
        }
    }
    ShowWidth(int32_t(std::clamp<int64_t>(start, 0, INT32_MAX)), newWidth);
}

void LKVFileWindowModel::CursorMoved(bool cueing)
{
    LKVFile::Positions& p = file_.pos;
    overview_.SetCursor(p.cursor, 0);
    main_.SetCursor(p.cursor, cueing ? int32_t(int64_t(OneSecond()) * 25 / 1000) : 0);
    if (p.cursor == followed_)
        return;
    followed_ = p.cursor;
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
