#include "ui/LKVLevelControl.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>

LKVLevelControl::LKVLevelControl(int32_t minDb, int32_t maxDb, int32_t valueDb, QWidget* parent) : QWidget(parent)
{
    slider_ = new QSlider(Qt::Horizontal);
    slider_->setRange(minDb, maxDb);
    slider_->setSingleStep(1);
    slider_->setPageStep(maxDb - minDb > 20 ? 6 : 3);
    slider_->setTickPosition(QSlider::TicksBelow);
    slider_->setTickInterval(maxDb - minDb > 20 ? 10 : 3);
    slider_->setMinimumWidth(220);
    value_ = new QLabel;
    value_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    value_->setMinimumWidth(value_->fontMetrics().horizontalAdvance(QStringLiteral("-40 dB")) + 4);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(slider_, 1);
    layout->addWidget(value_);
    setFocusProxy(slider_);
    connect(slider_, &QSlider::valueChanged, this, [this](int v) {
        ShowValue(v);
        if (!slider_->isSliderDown())
            emit valueSettled(v);
    });
    connect(slider_, &QSlider::sliderReleased, this, [this] { emit valueSettled(slider_->value()); });
    SetValue(valueDb);
    ShowValue(slider_->value());
}

int32_t LKVLevelControl::Value() const { return slider_->value(); }

void LKVLevelControl::SetValue(int32_t db) { slider_->setValue(db); }

void LKVLevelControl::ShowValue(int db) { value_->setText(QStringLiteral("%1 dB").arg(db)); }
