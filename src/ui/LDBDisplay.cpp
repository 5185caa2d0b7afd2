#include "ui/LDBDisplay.h"

#include <QPainter>
#include <QResizeEvent>

LDBDisplay::LDBDisplay(QWidget* parent) : QWidget(parent)
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

void LDBDisplay::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(0x22, 0x27, 0x2d));
    for (int32_t c = 0; c < int32_t(model_.Channels()); ++c) {
        const int top = model_.BandTop(c) + 1, bottom = model_.BandBottom(c) - 1;
        if (bottom <= top)
            continue;
        const int green = model_.GreenEnd(size_t(c)), red = model_.RedEnd(size_t(c));
        p.fillRect(QRect(QPoint(0, top), QPoint(green, bottom)), QColor(0x3c, 0xc8, 0x6e));
        if (red > green)
            p.fillRect(QRect(QPoint(green, top), QPoint(red, bottom)), QColor(0xe0, 0x44, 0x44));
    }
    // The 0 dB mark.
    p.setPen(QColor(0xe8, 0xec, 0xf0));
    const int zero = model_.X(0);
    p.drawLine(zero, 0, zero, height());
}
