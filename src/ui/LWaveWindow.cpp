#include "ui/LWaveWindow.h"

#include <QPaintEvent>
#include <QPainter>

#include "ui/LWavePainter.h"

LWaveWindow::LWaveWindow(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(10, 8);
    model_.SetListener(this);
}

LWaveWindow::~LWaveWindow()
{
    model_.SetListener(nullptr);
    model_.Stop();
}

void LWaveWindow::Start(LSoundSource source)
{
    const int32_t length = source->GetLength();
    model_.SetEnd(length);
    model_.Start(std::move(source));
    model_.SetView(0, std::max(length, 1));
}

void LWaveWindow::Stop() { model_.Stop(); }

LWaveColours LWaveWindow::Colours() const
{
    const QPalette& p = palette();
    LSystemColours s;
    s.windowText = p.color(QPalette::Text).rgb() & 0xFFFFFF;
    s.window = p.color(QPalette::Base).rgb() & 0xFFFFFF;
    s.greyText = p.color(QPalette::Disabled, QPalette::Text).rgb() & 0xFFFFFF;
    s.buttonFace = p.color(QPalette::Button).rgb() & 0xFFFFFF;
    return LWaveColours::Strip(s);
}

void LWaveWindow::WaveInvalidate(int32_t from, int32_t to) { update(QRect(from + 1, 0, to - from, height())); }

void LWaveWindow::resizeEvent(QResizeEvent* event)
{
    model_.SetSize(width(), height());
    QWidget::resizeEvent(event);
}

QImage LWaveWindow::Render() const
{
    QImage image(size(), QImage::Format_RGB32);
    image.fill(palette().color(QPalette::Button));
    const LWavePicture p = model_.Picture();
    LWavePainter::Render(image, p, Colours(), 0, p.Width(), palette().color(QPalette::Button).rgb());
    return image;
}

void LWaveWindow::paintEvent(QPaintEvent* event)
{
    if (image_.size() != size()) {
        image_ = QImage(size(), QImage::Format_RGB32);
        image_.fill(palette().color(QPalette::Button));
    }
    const QRect r = event->rect();
    LWavePainter::Render(image_, model_.Picture(), Colours(), r.left() - 1, r.right(),
                         palette().color(QPalette::Button).rgb());
    QPainter painter(this);
    painter.drawImage(r, image_, r);
}
