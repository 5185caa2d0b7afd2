#include "ui/LKVWaveWindow.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

#include "display/LSpectrogramImage.h"
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

void LKVWaveWindow::WaveInvalidate(int32_t from, int32_t to)
{
    // A flag's name reaches beyond its line's column: with marks, the whole view.
    if (marks_ && !marks_->Bookmarks().empty() && names_)
        update();
    else
        update(QRect(from + 1, 0, to - from, height()));
    emit changed();
}

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
    RenderSpectrogram(image, p, 0, p.Width());
    return image;
}

void LKVWaveWindow::RenderSpectrogram(QImage& image, const LWavePicture& p, int32_t from, int32_t to)
{
    // The spectra go over the wave painter's background, inside its frame.
    if (!p.spectrogram || image.width() < p.Width() + 2 || image.height() < p.height + 1)
        return;
    LSpectrogramImage::Render(reinterpret_cast<uint32_t*>(image.bits()), image.bytesPerLine() / 4, p, from, to);
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
    RenderSpectrogram(image_, p, r.left() - 1, r.right());
    QPainter painter(this);
    painter.drawImage(r, image_, r);
    if (p.enabled && p.map.ViewLength() > 0)
        PaintMarks(painter, p.map);
}

namespace {

const QColor kBookmark(255, 170, 0);
const QColor kBookmarkText(32, 24, 0);
const QColor kRegionFill(80, 150, 255, 70);
const QColor kRegionEdge(120, 180, 255);
const QColor kViewFrame(255, 255, 255, 200);

LTextWidth WidthIn(const QFontMetrics& fm)
{
    return [fm](const std::string& text) { return int32_t(fm.horizontalAdvance(QString::fromStdString(text))); };
}

} // namespace

QFont LKVWaveWindow::MarkFont(const QFont& base)
{
    QFont f = base;
    f.setPixelSize(11);
    return f;
}

int LKVWaveWindow::FlagHeight() const { return QFontMetrics(MarkFont(font())).height() + 2; }

std::vector<LWaveMarks::Flag> LKVWaveWindow::Flags() const
{
    if (!marks_ || !names_)
        return {};
    const LWaveMapping map = model_.Mapping();
    // No more rows of flags than leave most of the wave in sight.
    const int rows = std::clamp((height() / 4) / std::max(FlagHeight(), 1), 1, 3);
    return marks_->Flags(map, WidthIn(QFontMetrics(MarkFont(font()))), rows);
}

void LKVWaveWindow::SetMarks(const LWaveMarks* marks, bool names)
{
    marks_ = marks;
    names_ = names;
    update();
}

void LKVWaveWindow::SetViewRange(int32_t start, int32_t end)
{
    if (start == viewStart_ && end == viewEnd_)
        return;
    viewStart_ = start;
    viewEnd_ = end;
    update();
}

void LKVWaveWindow::PaintMarks(QPainter& painter, const LWaveMapping& map) const
{
    const int h = height();
    if (!names_ && viewEnd_ > viewStart_) {
        // The stretch the main view holds; nothing to frame when it holds everything.
        const int64_t a = map.ColumnOf(viewStart_), b = map.ColumnOf(viewEnd_);
        if (a > 0 || b < map.Width()) {
            const int left = int(std::clamp<int64_t>(a, 0, map.Width())) + 1;
            const int right = int(std::clamp<int64_t>(b, a + 1, map.Width())) + 1;
            painter.setPen(QPen(kViewFrame, 1));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(QRect(left, 1, std::max(right - left, 2), h - 3));
        }
    }
    if (!marks_)
        return;
    if (!names_) {
        const int bandTop = h - std::max(h / 4, 3) - 1;
        for (const LWaveMarks::Band& b : marks_->Bands(map, [](const std::string&) { return 0; }, 1)) {
            const QRect band(b.left + 1, bandTop, b.right - b.left, h - 1 - bandTop);
            painter.fillRect(band, kRegionFill);
            painter.fillRect(QRect(band.left(), bandTop, band.width(), 1), kRegionEdge);
        }
        painter.setPen(kBookmark);
        for (const LWaveMarks::Flag& f : marks_->Flags(map, [](const std::string&) { return 0; }, 0))
            painter.drawLine(f.column + 1, 1, f.column + 1, h - 2);
        return;
    }
    const QFont font = MarkFont(this->font());
    const QFontMetrics fm(font);
    const int flagHeight = FlagHeight();
    painter.setFont(font);
    for (const LWaveMarks::Flag& f : Flags()) {
        const int x = f.column + 1;
        painter.setPen(kBookmark);
        painter.drawLine(x, 1, x, h - 2);
        if (f.width <= 0)
            continue;
        const QRect box(f.left + 1, 1 + f.row * flagHeight, f.width, flagHeight - 1);
        painter.fillRect(box, kBookmark);
        painter.setPen(kBookmarkText);
        painter.drawText(box.adjusted(LWaveMarks::kPadding, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                         QString::fromStdString(f.text));
    }
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

void LKVWaveWindow::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && names_) {
        const int row = int(event->position().y() - 1) / std::max(FlagHeight(), 1);
        const std::vector<LWaveMarks::Flag> flags = Flags();
        if (const LWaveMarks::Flag* f = LWaveMarks::FlagAt(flags, int32_t(event->position().x()) - 1, row)) {
            emit bookmarkActivated(int(f->index));
            return;
        }
    }
    // Otherwise a second press, as the mouse handling expects.
    mousePressEvent(event);
}

void LKVWaveWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        Emit(model_.MouseUp(int32_t(event->position().x()) - 1));
    else
        QWidget::mouseReleaseEvent(event);
}
