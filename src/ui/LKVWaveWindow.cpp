#include "ui/LKVWaveWindow.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "ui/LWavePainter.h"

namespace {

LRgb Rgb(const QColor& c) { return LRgb(c.rgb() & 0xFFFFFF); }

LSystemColours SystemColours(const QPalette& p)
{
    LSystemColours s;
    s.windowText = Rgb(p.color(QPalette::Text));
    s.window = Rgb(p.color(QPalette::Base));
    s.highlightText = Rgb(p.color(QPalette::HighlightedText));
    s.highlight = Rgb(p.color(QPalette::Highlight));
    s.greyText = Rgb(p.color(QPalette::Disabled, QPalette::Text));
    s.buttonFace = Rgb(p.color(QPalette::Button));
    return s;
}

} // namespace

LKVWaveWindow::LKVWaveWindow(LKVWaveModel& model, QWidget* parent) : QWidget(parent), model_(model)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(10, 8);
    SetColours(false);
    model_.SetListener(this);
}

LKVWaveWindow::~LKVWaveWindow() { model_.SetListener(nullptr); }

void LKVWaveWindow::SetColours(bool useWindowsColours)
{
    useWindowsColours_ = useWindowsColours;
    colours_ = LWaveColours::Document(useWindowsColours, SystemColours(palette()));
    update();
}

void LKVWaveWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange)
        SetColours(useWindowsColours_);
    QWidget::changeEvent(event);
}

void LKVWaveWindow::WaveInvalidate(int32_t from, int32_t to) { update(QRect(from + 1, 0, to - from, height())); }

void LKVWaveWindow::resizeEvent(QResizeEvent* event)
{
    model_.SetSize(width(), height());
    QWidget::resizeEvent(event);
}

QImage LKVWaveWindow::Render() const
{
    QImage image(size(), QImage::Format_RGB32);
    image.fill(palette().color(QPalette::Button));
    const LWavePicture p = model_.Picture();
    LWavePainter::Render(image, p, colours_, 0, p.Width(), palette().color(QPalette::Button).rgb());
    return image;
}

void LKVWaveWindow::paintEvent(QPaintEvent* event)
{
    if (image_.size() != size()) {
        image_ = QImage(size(), QImage::Format_RGB32);
        image_.fill(palette().color(QPalette::Button));
    }
    const QRect r = event->rect();
    const LWavePicture p = model_.Picture();
    // The frame's right and bottom lines and anything beyond the wave's width.
    LWavePainter::Render(image_, p, colours_, r.left() - 1, r.right(), palette().color(QPalette::Button).rgb());
    QPainter painter(this);
    painter.drawImage(r, image_, r);
}

void LKVWaveWindow::Emit(const std::vector<int32_t>& codes)
{
    for (int32_t c : codes)
        emit waveCode(c);
}

void LKVWaveWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        Emit(model_.MouseDown(int32_t(event->position().x()) - 1));
    else
        QWidget::mousePressEvent(event);
}

void LKVWaveWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (model_.HasCapture())
        Emit(model_.MouseMove(int32_t(event->position().x()) - 1));
}

void LKVWaveWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        Emit(model_.MouseUp(int32_t(event->position().x()) - 1));
    else
        QWidget::mouseReleaseEvent(event);
}
