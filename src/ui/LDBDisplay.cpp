#include "ui/LDBDisplay.h"

#include <QPainter>
#include <QPixmap>
#include <QResizeEvent>

namespace {

// One cell of a meter's pattern: a lit segment 3 pixels wide, brighter in its
// upper half, and a dark gap, so a bar reads as a row of lamps.
QPixmap Pattern(QColor lit, QColor upper, QColor gap)
{
    QPixmap cell(4, 8);
    QPainter p(&cell);
    p.fillRect(0, 0, 3, 8, lit);
    p.fillRect(0, 0, 3, 3, upper);
    p.fillRect(3, 0, 1, 8, gap);
    return cell;
}

} // namespace

LDBDisplay::LDBDisplay(QWidget* parent)
    : QWidget(parent),
      green_(Pattern(QColor(0x2b, 0xb6, 0x4f), QColor(0x6c, 0xe0, 0x86), QColor(0x0b, 0x3a, 0x18))),
      red_(Pattern(QColor(0xd8, 0x33, 0x2c), QColor(0xf4, 0x7a, 0x70), QColor(0x45, 0x0c, 0x0a)))
{
    setObjectName(QStringLiteral("LevelMeter"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setToolTip(QStringLiteral("Input level: -36 dB at the left, 0 dB at the mark, +12 dB at the right"));
}

void LDBDisplay::SetLevels(const LChannelLevels& levels)
{
    for (const LDBDisplayModel::Rect& r : model_.SetLevels(levels))
        update(QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)));
}

void LDBDisplay::resizeEvent(QResizeEvent* event)
{
    model_.SetSize(event->size().width(), event->size().height());
    QWidget::resizeEvent(event);
}

void LDBDisplay::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange)
        update();
    QWidget::changeEvent(event);
}

void LDBDisplay::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    if (!isEnabled() || model_.Channels() == 0) {
        p.fillRect(rect(), QColor(0x80, 0x80, 0x80));
        return;
    }
    const int w = width();
    for (int32_t c = 0; c < int32_t(model_.Channels()); ++c) {
        const int top = model_.BandTop(c), bottom = model_.BandBottom(c);
        if (bottom <= top)
            continue;
        const int green = model_.GreenEnd(size_t(c)), zero = model_.X(0), red = model_.RedEnd(size_t(c));
        // The patterns start at the band's top, so every band's lamps line up.
        QBrush greenBrush(green_), redBrush(red_);
        greenBrush.setTransform(QTransform::fromTranslate(0, top));
        redBrush.setTransform(QTransform::fromTranslate(0, top));
        p.fillRect(QRect(0, top, green, bottom - top), greenBrush);
        int end = green;
        if (red > zero) {
            p.fillRect(QRect(zero, top, red - zero, bottom - top), redBrush);
            end = red;
        }
        p.fillRect(QRect(end, top, w - end, bottom - top), Qt::black);
    }
    // The frame's light edge, where the repaint reaches the bottom.
    if (event->rect().bottom() >= height() - 1) {
        p.setPen(Qt::white);
        p.drawLine(0, height() - 1, w - 1, height() - 1);
        p.drawLine(w - 1, 0, w - 1, height() - 1);
    }
}
