#include "ui/LKVTimeRuler.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

#include "ui/LKVWaveWindow.h"

namespace {

constexpr int32_t kLabelGap = 10;
constexpr int kMajorTick = 6;
constexpr int kMinorTick = 3;

const QColor kRegionFill(80, 150, 255, 110);
const QColor kRegionEdge(40, 110, 210);
const QColor kCursor(255, 255, 17);
const QColor kSelection(5, 95, 167, 90);

} // namespace

LKVTimeRuler::LKVTimeRuler(const LKVWaveModel& main, QWidget* parent)
    : QWidget(parent), main_(main), font_(LKVWaveWindow::MarkFont(font()))
{
    setObjectName(QStringLiteral("timeRuler"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setToolTip(QStringLiteral("Click to move the position there; click a region to select it."));
}

void LKVTimeRuler::SetMarks(const LWaveMarks* marks)
{
    marks_ = marks;
    update();
}

int LKVTimeRuler::TimeRowHeight() const { return QFontMetrics(font_).height() + kMajorTick + 3; }
int LKVTimeRuler::BandRowHeight() const { return QFontMetrics(font_).height() + 3; }
int LKVTimeRuler::RegionRows() const { return marks_ ? marks_->RowsNeeded(kMaxRegionRows) : 0; }
int LKVTimeRuler::Height() const { return TimeRowHeight() + RegionRows() * BandRowHeight() + 1; }

LTimeRuler::Layout LKVTimeRuler::Ticks() const
{
    const QFontMetrics fm(font_);
    return LTimeRuler::Compute(
        main_.Mapping(), main_.SampleRate(),
        [&fm](const std::string& text) { return int32_t(fm.horizontalAdvance(QString::fromStdString(text))); },
        kLabelGap);
}

std::vector<LWaveMarks::Band> LKVTimeRuler::Bands() const
{
    if (!marks_)
        return {};
    const QFontMetrics fm(font_);
    return marks_->Bands(
        main_.Mapping(),
        [&fm](const std::string& text) { return int32_t(fm.horizontalAdvance(QString::fromStdString(text))); },
        kMaxRegionRows);
}

void LKVTimeRuler::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QPalette& pal = palette();
    p.fillRect(rect(), pal.color(QPalette::Window));
    p.setFont(font_);
    const int timeRow = TimeRowHeight();
    const LWaveMapping map = main_.Mapping();
    if (map.ViewLength() < 1 || !main_.IsStarted()) {
        p.setPen(pal.color(QPalette::Mid));
        p.drawLine(0, height() - 1, width() - 1, height() - 1);
        return;
    }

    // The selection behind the ticks, as the wave shows it.
    const int32_t selStart = main_.SelectionStart(), selEnd = main_.SelectionEnd();
    if (selStart < selEnd) {
        const int64_t a = std::clamp<int64_t>(map.ColumnOf(selStart), 0, map.Width());
        const int64_t b = std::clamp<int64_t>(map.ColumnOf(selEnd), 0, map.Width());
        if (b > a)
            p.fillRect(QRect(int(a) + 1, 0, int(b - a), timeRow), kSelection);
    }

    const QColor text = pal.color(QPalette::WindowText);
    p.setPen(text);
    const int baseline = timeRow - 1;
    for (const LTimeRuler::Tick& t : Ticks().ticks) {
        const int x = t.column + 1;
        p.drawLine(x, baseline - (t.major ? kMajorTick : kMinorTick), x, baseline);
        if (!t.label.empty())
            p.drawText(QRect(x + LTimeRuler::kLabelOffset, 1, t.labelWidth + 2, baseline - kMajorTick),
                       Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(t.label));
    }
    p.setPen(pal.color(QPalette::Mid));
    p.drawLine(0, baseline, width() - 1, baseline);

    // Region bands, their names inside.
    const int bandRow = BandRowHeight();
    for (const LWaveMarks::Band& b : Bands()) {
        const QRect band(b.left + 1, timeRow + b.row * bandRow, b.right - b.left, bandRow - 1);
        p.fillRect(band, kRegionFill);
        p.setPen(kRegionEdge);
        p.drawRect(band.adjusted(0, 0, -1, -1));
        if (!b.text.empty()) {
            p.setPen(text);
            p.drawText(band.adjusted(LWaveMarks::kPadding, 0, -LWaveMarks::kPadding, 0),
                       Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(b.text));
        }
    }
    p.setPen(pal.color(QPalette::Mid));
    p.drawLine(0, height() - 1, width() - 1, height() - 1);

    // The play cursor: a marker pointing down at the wave.
    const int64_t cursor = map.ColumnOf(main_.Cursor());
    if (cursor >= 0 && cursor <= map.Width()) {
        const double x = double(std::min<int64_t>(cursor, map.Width() - 1)) + 1.5;
        QPainterPath marker;
        marker.moveTo(x - 5, baseline - 7);
        marker.lineTo(x + 5, baseline - 7);
        marker.lineTo(x, baseline);
        marker.closeSubpath();
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(kCursor);
        p.drawPath(marker);
    }
}

void LKVTimeRuler::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const int column = int(event->position().x()) - 1;
    const int y = int(event->position().y());
    if (y >= TimeRowHeight()) {
        const std::vector<LWaveMarks::Band> bands = Bands();
        if (const LWaveMarks::Band* b = LWaveMarks::BandAt(bands, column, (y - TimeRowHeight()) / BandRowHeight())) {
            emit regionClicked(int(b->index));
            return;
        }
    }
    const LWaveMapping map = main_.Mapping();
    if (map.ViewLength() > 0)
        emit positionClicked(std::max(map.PixelToFrame(std::clamp(column, 0, map.Width())), 0));
}
