#include "ui/LKVAmplitudeScale.h"

#include <QPainter>

#include <algorithm>

#include "display/LSpectrogramAxis.h"
#include "display/LSpectrogramColours.h"
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
    if (Spectrogram())
        return 2 + (OnLeft() ? fm.horizontalAdvance(QStringLiteral("22.05 kHz")) : fm.horizontalAdvance(QStringLiteral("-120")))
               + kGap + kTick;
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
                   OnLeft() ? (Spectrogram() ? QStringLiteral("Hz") : QStringLiteral("%")) : QStringLiteral("dB"));
    const int waveHeight = height() - caption_;
    if (waveHeight < 8 || !main_.IsStarted())
        return;
    if (Spectrogram()) {
        PaintSpectrogramScale(p, waveHeight);
        return;
    }

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

// Each lane: the frequency axis on the left, the colour map with its levels on the right.
void LKVAmplitudeScale::PaintSpectrogramScale(QPainter& p, int waveHeight) const
{
    const QFontMetrics fm(font_);
    const int labelHeight = fm.height();
    const QColor text = palette().color(QPalette::WindowText);
    LWavePicture geometry;
    geometry.height = std::max(waveHeight - 1, 1);
    geometry.lanes = main_.Lanes();
    for (int lane = 0; lane < geometry.lanes; ++lane) {
        const LWavePicture::Lane rows = geometry.LaneRows(lane);
        const int n = rows.end - rows.top;
        if (n < 2)
            continue;
        const int top = caption_ + rows.top;
        std::vector<std::pair<int, QString>> labels;
        if (OnLeft()) {
            const LSpectrogramAxis axis(main_.SampleRate(), main_.SpectrogramFftSize(), main_.LogFrequency(), n);
            for (const LSpectrogramAxis::Label& l : axis.Labels(labelHeight + 4))
                labels.emplace_back(l.row, QString::fromStdString(l.text));
        } else {
            // The colour map from 0 dB at the top to the floor at the bottom.
            const std::array<uint32_t, 256>& map = LSpectrogramColours::Map();
            for (int r = 0; r < n; ++r) {
                p.setPen(QColor::fromRgb(map[size_t(255 - r * 255 / std::max(n - 1, 1))]));
                p.drawLine(0, top + r, kTick, top + r);
            }
            const int step = n >= 6 * (labelHeight + 2) ? 20 : 40;
            for (int dB = 0; dB >= kSpectrogramFloorDb; dB -= step)
                labels.emplace_back(int(int64_t(-dB) * (n - 1) / -kSpectrogramFloorDb), QString::number(dB));
        }
        p.setPen(text);
        std::vector<QRect> drawn;
        for (const auto& [row, label] : labels) {
            const int y = top + row;
            if (OnLeft())
                p.drawLine(width() - kTick, y, width() - 1, y);
            const int at = std::clamp(y - labelHeight / 2, top, std::max(top, caption_ + rows.end - labelHeight));
            const QRect box = OnLeft() ? QRect(0, at, width() - kTick - kGap, labelHeight)
                                       : QRect(kTick + kGap, at, width() - kTick - kGap, labelHeight);
            p.drawText(box, (OnLeft() ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, label);
            drawn.push_back(p.boundingRect(box, (OnLeft() ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, label));
        }
        // Which channel a stereo lane shows, where no label is in the way.
        if (OnLeft() && geometry.lanes == 2) {
            QFont bold = font_;
            bold.setBold(true);
            const QRect letter(2, caption_ + rows.mid - labelHeight / 2, QFontMetrics(bold).horizontalAdvance(QLatin1Char('R')) + 2,
                               labelHeight);
            if (std::none_of(drawn.begin(), drawn.end(), [&](const QRect& r) { return r.intersects(letter); })) {
                p.setFont(bold);
                p.drawText(letter, Qt::AlignLeft | Qt::AlignVCenter, lane == 0 ? QStringLiteral("L") : QStringLiteral("R"));
                p.setFont(font_);
            }
        }
    }
}
