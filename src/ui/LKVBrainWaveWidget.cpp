#include "ui/LKVBrainWaveWidget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace {
const QColor kBackground(0x40, 0x40, 0x40);
const QColor kDisabledBackground(0x80, 0x80, 0x80);
const QColor kGrid(0x58, 0x58, 0x58);
const QColor kUnity(0x78, 0x78, 0x78);
const QColor kCurve(0xFF, 0xE0, 0x20);
const QColor kScale(0xA8, 0xA8, 0xA8);
} // namespace

LKVBrainWaveWidget::LKVBrainWaveWidget(QWidget* parent) : QWidget(parent)
{
    left_ = fontMetrics().horizontalAdvance(QStringLiteral("200 %")) + 8 + kMargin;
    setObjectName(QStringLiteral("LBrainWaveWindow"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    model_.points = PointList::Flat();
    model_.SetSize(width() - left_ - kMargin, height() - 2 * kMargin);
}

void LKVBrainWaveWidget::SetPoints(const PointList& points)
{
    model_.points = points;
    model_.selected = 0;
    update();
}

void LKVBrainWaveWidget::SetLabel(const QString& text)
{
    model_.label = text.toStdString();
    update();
}

QPoint LKVBrainWaveWidget::Inside(const QPoint& p)
{
    Sync();
    return p - QPoint(left_, kMargin);
}

QPointF LKVBrainWaveWidget::PixelOf(const PointList::Point& p) const
{
    return {double(model_.PixelX(p.x) + left_), double(model_.PixelY(p.y) + kMargin)};
}

void LKVBrainWaveWidget::Apply(const LBrainWaveWindow::Result& r)
{
    for (const LBrainWaveWindow::Notify& n : r.notify) {
        if (n.message == LBrainWaveWindow::kMsgPosition)
            emit positionChanged(n.x, n.y);
        else if (n.message == LBrainWaveWindow::kMsgChanged)
            emit curveChanged();
    }
    // The span between the neighbours, and the squares that stick out of it.
    if (r.repaint)
        update(QRect(r.repaintLeft + left_ - 6, 0, r.repaintRight - r.repaintLeft + 13, height()));
    setCursor(r.cursor == LBrainWaveWindow::Cursor::Hand ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void LKVBrainWaveWidget::resizeEvent(QResizeEvent* event)
{
    Sync();
    QWidget::resizeEvent(event);
}

void LKVBrainWaveWidget::Sync()
{
    // Also before every event: a widget resized while hidden hears of it only
    // when it shows.
    model_.SetSize(width() - left_ - kMargin, height() - 2 * kMargin);
}

void LKVBrainWaveWidget::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = Inside(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        Apply(model_.LeftDown(p.x(), p.y()));
    else if (event->button() == Qt::RightButton)
        Apply(model_.RightDown(p.x(), p.y()));
    // A click that only selects a point still shows it as selected.
    update();
    event->accept();
}

void LKVBrainWaveWidget::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = Inside(event->position().toPoint());
    Apply(model_.MouseMove(p.x(), p.y(), event->buttons() & Qt::LeftButton));
    event->accept();
}

void LKVBrainWaveWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton)
        Apply(model_.ButtonUp());
    event->accept();
}

void LKVBrainWaveWidget::keyPressEvent(QKeyEvent* event)
{
    Sync();
    const int step = event->modifiers() & Qt::ShiftModifier ? 10 : 1;
    switch (event->key()) {
    case Qt::Key_Left: Apply(model_.Nudge(-step, 0)); break;
    case Qt::Key_Right: Apply(model_.Nudge(step, 0)); break;
    case Qt::Key_Up: Apply(model_.Nudge(0, step)); break;
    case Qt::Key_Down: Apply(model_.Nudge(0, -step)); break;
    case Qt::Key_PageUp: Apply(model_.SelectStep(-1)); break;
    case Qt::Key_PageDown: Apply(model_.SelectStep(1)); break;
    case Qt::Key_Home: Apply(model_.SelectStep(-PointList::kMaxPoints)); break;
    case Qt::Key_End: Apply(model_.SelectStep(PointList::kMaxPoints)); break;
    case Qt::Key_Insert: Apply(model_.InsertAfterSelected()); break;
    case Qt::Key_Delete: Apply(model_.RemoveSelected()); break;
    default: QWidget::keyPressEvent(event); return;
    }
    update();
    event->accept();
}

void LKVBrainWaveWidget::keyReleaseEvent(QKeyEvent* event)
{
    if (event->isAutoRepeat()) {
        event->accept();
        return;
    }
    Apply(model_.KeyUp());
    QWidget::keyReleaseEvent(event);
}

void LKVBrainWaveWidget::focusInEvent(QFocusEvent* event)
{
    update();
    QWidget::focusInEvent(event);
}

void LKVBrainWaveWidget::focusOutEvent(QFocusEvent* event)
{
    update();
    QWidget::focusOutEvent(event);
}

void LKVBrainWaveWidget::paintEvent(QPaintEvent*)
{
    Sync();
    QPainter p(this);
    p.fillRect(rect(), isEnabled() ? kBackground : kDisabledBackground);
    const int w = model_.Width(), h = model_.Height();

    // Eighths of both scales; the line of y = 128 (100 %) stands out.
    p.setPen(QPen(kGrid, 1));
    p.drawRect(left_, kMargin, w, h);
    for (int i = 1; i < 8; ++i) {
        const int x = model_.PixelX(i * 32) + left_;
        p.drawLine(x, kMargin, x, kMargin + h);
        if (i != 4) {
            const int y = model_.PixelY(i * 32) + kMargin;
            p.drawLine(left_, y, left_ + w, y);
        }
    }
    p.setPen(QPen(kUnity, 1, Qt::DashLine));
    const int unity = model_.PixelY(128) + kMargin;
    p.drawLine(left_, unity, left_ + w, unity);

    // The gain scale: y = 255 is twice the level, 128 unchanged, 0 silence.
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    p.setFont(small);
    p.setPen(kScale);
    const int textRight = left_ - 6;
    const int textHeight = p.fontMetrics().height();
    auto scale = [&](int y, const QString& text) {
        p.drawText(QRect(0, y - textHeight / 2, textRight, textHeight), Qt::AlignRight | Qt::AlignVCenter, text);
    };
    scale(std::max(kMargin + textHeight / 2, model_.PixelY(255) + kMargin), QStringLiteral("200 %"));
    scale(unity, QStringLiteral("100 %"));
    scale(std::min(kMargin + h - textHeight / 2, model_.PixelY(0) + kMargin), QStringLiteral("0 %"));
    p.setFont(font());

    if (!model_.label.empty()) {
        p.setPen(Qt::white);
        const QRect box = rect().adjusted(0, 2, -4, 0);
        p.drawText(box, Qt::AlignRight | Qt::AlignTop, QString::fromStdString(model_.label));
    }

    const PointList& pts = model_.points;
    p.setRenderHint(QPainter::Antialiasing);
    if (pts.nPoints > 0) {
        QPainterPath path(PixelOf(pts.points[0]));
        for (int i = 1; i < pts.nPoints; ++i)
            path.lineTo(PixelOf(pts.points[size_t(i)]));
        p.setPen(QPen(kCurve, 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
    }
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int i = 0; i < pts.nPoints; ++i) {
        const QPointF c = PixelOf(pts.points[size_t(i)]);
        const QRectF square(c.x() - 4, c.y() - 4, 8, 8);
        const bool selected = i == model_.selected;
        p.setPen(selected && hasFocus() ? QPen(Qt::white, 1) : QPen(kCurve, 1));
        p.setBrush(selected ? QBrush(kCurve) : QBrush(kBackground));
        p.drawRect(square);
    }
    if (hasFocus()) {
        p.setPen(QPen(palette().color(QPalette::Highlight), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}
