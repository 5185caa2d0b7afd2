#include "ui/LKVMdiArea.h"

#include <QMdiSubWindow>
#include <QPainter>

LKVMdiArea::LKVMdiArea(QWidget* parent) : QMdiArea(parent)
{
    setBackground(QColor(0x5a, 0x61, 0x69));
    connect(this, &QMdiArea::subWindowActivated, viewport(), qOverload<>(&QWidget::update));
}

void LKVMdiArea::paintEvent(QPaintEvent* event)
{
    QMdiArea::paintEvent(event);
    if (!subWindowList().isEmpty())
        return;
    QPainter p(viewport());
    p.setPen(QColor(0xd8, 0xdd, 0xe2));
    QFont f = font();
    f.setPointSizeF(f.pointSizeF() * 1.3);
    p.setFont(f);
    p.drawText(viewport()->rect(), Qt::AlignCenter,
               QStringLiteral("Open a sound file with File > Open File... (Ctrl+O),\nor drop one here."));
}
