#include "ui/LKVFrequencyAxis.h"

#include <QPainter>

#include <algorithm>

#include "display/LFrequencyWindowModel.h"

namespace {

constexpr int kTick = 4;
constexpr int kGap = 3;
// Pixels at least between two frequency labels.
constexpr int32_t kLabelGap = 12;

} // namespace

LKVFrequencyAxis::LKVFrequencyAxis(const LFrequencyWindowModel& model, Kind kind, QWidget* parent)
    : QWidget(parent), model_(model), kind_(kind)
{
    setObjectName(kind == Kind::Frequency ? QStringLiteral("frequencyAxis") : QStringLiteral("levelAxis"));
    font_ = font();
    font_.setPixelSize(11);
    setSizePolicy(kind == Kind::Frequency ? QSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed)
                                          : QSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding));
}

QSize LKVFrequencyAxis::sizeHint() const
{
    const QFontMetrics fm(font_);
    if (kind_ == Kind::Frequency)
        return {100, kTick + fm.height() + 2 * kGap};
    return {fm.horizontalAdvance(QStringLiteral("-126 dB")) + kTick + 2 * kGap, 100};
}

void LKVFrequencyAxis::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    p.setFont(font_);
    p.setPen(palette().color(QPalette::WindowText));
    const QFontMetrics fm(font_);
    if (kind_ == Kind::Frequency) {
        const auto width = [&fm](const std::string& t) { return int32_t(fm.horizontalAdvance(QString::fromStdString(t))); };
        // The unit at the right end, where no label of a frequency below half the rate goes.
        const QString unit = QStringLiteral("Hz");
        const int unitWidth = fm.horizontalAdvance(unit);
        for (const LFrequencyWindowModel::AxisLabel& l : model_.FrequencyLabels(width, kLabelGap)) {
            const QString text = QString::fromStdString(l.text);
            const int w = fm.horizontalAdvance(text);
            if (l.at + w / 2 > this->width() - unitWidth - kGap)
                continue;
            p.drawLine(l.at, 0, l.at, kTick - 1);
            p.drawText(QRect(l.at - w / 2, kTick + kGap - 1, w, fm.height()), Qt::AlignCenter, text);
        }
        p.drawText(QRect(this->width() - unitWidth - 1, kTick + kGap - 1, unitWidth, fm.height()), Qt::AlignCenter,
                   unit);
        return;
    }
    // Levels: labels right-aligned against the drawing, kept inside the axis.
    const int right = this->width() - kTick - kGap;
    const int h = fm.height();
    for (const LFrequencyWindowModel::AxisLabel& l : model_.LevelLabels(h + 2)) {
        p.drawLine(this->width() - kTick, l.at, this->width() - 1, l.at);
        const int top = std::clamp(l.at - h / 2, 0, std::max(height() - h, 0));
        const QString text = QString::fromStdString(l.text) + QStringLiteral(" dB");
        p.drawText(QRect(0, top, right, h), Qt::AlignRight | Qt::AlignVCenter, text);
    }
}
