#include "ui/LKVAmplitudeScale.h"

#include <QPainter>

#include <algorithm>

#include "ui/LKVWaveWindow.h"

namespace {

constexpr int kTick = 4;
constexpr int kGap = 3;

} // namespace

LKVAmplitudeScale::LKVAmplitudeScale(const LKVWaveModel& main, LAmplitudeScale::Unit unit, QWidget* parent)
    : QWidget(parent), main_(main), unit_(unit), font_(LKVWaveWindow::MarkFont(font()))
{
    setObjectName(unit == LAmplitudeScale::Unit::Percent ? QStringLiteral("percentScale") : QStringLiteral("dBScale"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setToolTip(unit == LAmplitudeScale::Unit::Percent ? QStringLiteral("Level in percent of full scale")
                                                      : QStringLiteral("Level in decibels below full scale"));
}

void LKVAmplitudeScale::SetCaptionHeight(int pixels)
{
    caption_ = pixels;
    update();
}

int LKVAmplitudeScale::PreferredWidth() const
{
    const QFontMetrics fm(font_);
    const int labels = OnLeft() ? fm.horizontalAdvance(QStringLiteral("-12.5")) : fm.horizontalAdvance(QStringLiteral("-18"));
    const int letter = OnLeft() ? fm.horizontalAdvance(QLatin1Char('R')) + kGap : 0;
    return 2 + letter + labels + kGap + kTick;
}

std::vector<LAmplitudeScale::Mark> LKVAmplitudeScale::Marks(int waveHeight) const
{
    LWavePicture geometry;
    geometry.height = std::max(waveHeight - 1, 1);
    geometry.lanes = main_.Lanes();
    const auto below = main_.DisplayMode() == kWaveModeLeftRight && main_.Channels() == 2
                           ? LAmplitudeScale::Below::Magnitude
                           : LAmplitudeScale::Below::Negative;
    return LAmplitudeScale::PictureMarks(geometry, main_.VerticalZoom(), below, unit_, QFontMetrics(font_).height());
}

void LKVAmplitudeScale::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QPalette& pal = palette();
    p.fillRect(rect(), pal.color(QPalette::Window));
    p.setFont(font_);
    const QFontMetrics fm(font_);
    const QColor text = pal.color(QPalette::WindowText);
    p.setPen(text);
    // The unit, beside the ruler.
    if (caption_ > 0)
        p.drawText(QRect(0, 0, width(), caption_), Qt::AlignCenter,
                   OnLeft() ? QStringLiteral("%") : QStringLiteral("dB"));
    const int waveHeight = height() - caption_;
    if (waveHeight < 8 || !main_.IsStarted())
        return;

    // Labels are drawn at a mark's row but kept inside the scale.
    const int labelHeight = fm.height();
    for (const LAmplitudeScale::Mark& m : Marks(waveHeight)) {
        const int y = caption_ + m.row;
        p.setPen(text);
        if (OnLeft())
            p.drawLine(width() - kTick, y, width() - 1, y);
        else
            p.drawLine(0, y, kTick - 1, y);
        const int top = std::clamp(y - labelHeight / 2, caption_, height() - labelHeight);
        const QRect box = OnLeft() ? QRect(0, top, width() - kTick - kGap, labelHeight)
                                   : QRect(kTick + kGap, top, width() - kTick - kGap, labelHeight);
        p.drawText(box, (OnLeft() ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter,
                   QString::fromStdString(m.label));
    }

    // Which channel is where, for a stereo document drawn by channel.
    if (!OnLeft() || main_.Channels() != 2 || main_.DisplayMode() == kWaveModePosNeg)
        return;
    LWavePicture geometry;
    geometry.height = std::max(waveHeight - 1, 1);
    geometry.lanes = main_.Lanes();
    p.setPen(text);
    QFont bold = font_;
    bold.setBold(true);
    p.setFont(bold);
    for (int c = 0; c < 2; ++c) {
        int row;
        if (geometry.lanes == 2) {
            row = geometry.LaneRows(c).mid;
        } else {
            const LWavePicture::Lane lane = geometry.LaneRows(0);
            row = c == 0 ? (lane.top + lane.mid) / 2 : (lane.mid + lane.end) / 2;
        }
        p.drawText(QRect(2, caption_ + row - labelHeight / 2, fm.horizontalAdvance(QLatin1Char('R')) + 2, labelHeight),
                   Qt::AlignLeft | Qt::AlignVCenter, c == 0 ? QStringLiteral("L") : QStringLiteral("R"));
    }
}
