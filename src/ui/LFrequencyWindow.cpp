#include "ui/LFrequencyWindow.h"

#include <QMouseEvent>
#include <QPainter>
#include <vector>

namespace {
// The drawing sits inside a one-pixel sunken frame.
constexpr bool kSunken = true;
} // namespace

LFrequencyWindow::LFrequencyWindow(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("LFrequencyWindow"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setMinimumSize(120, 80);
    font_.setPixelSize(13);
    font_.setBold(true);
}

void LFrequencyWindow::SetData(const LSpectrumBlock& block)
{
    model_.SetData(block);
    update();
}

void LFrequencyWindow::SetReadout(const QString& text)
{
    readout_ = text;
    update();
}

void LFrequencyWindow::resizeEvent(QResizeEvent* event)
{
    model_.SetSize(width(), height(), kSunken);
    QWidget::resizeEvent(event);
}

void LFrequencyWindow::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    emit pointerMoved(p.x(), p.y());
}

void LFrequencyWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (!isEnabled()) {
        p.fillRect(rect(), palette().color(QPalette::Button));
        return;
    }
    const int32_t w = model_.Width(), h = model_.Height();
    p.fillRect(rect(), QColor(64, 64, 64));
    p.setPen(QColor(105, 105, 105));
    // On the linear axis the 100 Hz lines would run together at the full width.
    const std::vector<int32_t> fine = model_.FrequencyGridX(100);
    if (model_.Logarithmic() || fine.size() < 2 || fine[1] - fine[0] >= 4)
        for (int32_t x : fine)
            p.drawLine(x, 0, x, h);
    p.setPen(QColor(112, 128, 144));
    for (int32_t y : model_.LevelGridY())
        p.drawLine(0, y, w, y);
    p.setPen(QColor(186, 186, 186));
    for (int32_t x : model_.FrequencyGridX(1000))
        p.drawLine(x, 0, x, h);

    const int32_t channels = model_.Data().twoChannels ? 2 : 1;
    const QColor curve[2] = {QColor(0, 192, 255), QColor(255, 64, 64)};
    std::vector<QPoint> points(static_cast<size_t>(w));
    for (int32_t c = 0; c < channels; ++c) {
        for (int32_t x = 0; x < w; ++x)
            points[size_t(x)] = QPoint(x, model_.CurveY(c, x));
        p.setPen(curve[c]);
        p.drawPolyline(points.data(), int(points.size()));
    }
    if (!readout_.isEmpty()) {
        p.setFont(font_);
        p.setPen(Qt::white);
        const QRect box(0, 2, width() - 20, QFontMetrics(font_).height());
        p.drawText(box, Qt::AlignRight | Qt::AlignTop, readout_);
    }
    if (kSunken) {
        p.setPen(Qt::black);
        p.drawLine(0, 0, width() - 1, 0);
        p.drawLine(0, 0, 0, height() - 1);
        p.setPen(Qt::white);
        p.drawLine(0, height() - 1, width() - 1, height() - 1);
        p.drawLine(width() - 1, 0, width() - 1, height() - 1);
    }
}
