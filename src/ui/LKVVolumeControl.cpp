#include "ui/LKVVolumeControl.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>


LKVVolumeControl::LKVVolumeControl(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("VolumeControl"));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    auto* caption = new QLabel(QStringLiteral("&Volume"));
    slider_ = new QSlider(Qt::Horizontal);
    slider_->setObjectName(QStringLiteral("volume"));
    slider_->setRange(kMinDb, kMaxDb);
    slider_->setPageStep(6);
    slider_->setTickPosition(QSlider::TicksBelow);
    slider_->setTickInterval(6);
    slider_->setFixedWidth(160);
    slider_->setToolTip(QStringLiteral("Playback volume (-36 dB mutes)"));
    caption->setBuddy(slider_);
    value_ = new QLabel;
    // Wide enough for the longest value, so the control does not jump.
    value_->setMinimumWidth(value_->fontMetrics().horizontalAdvance(QStringLiteral("+10 dB ")));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 0, 4, 0);
    layout->addWidget(caption);
    layout->addWidget(slider_);
    layout->addWidget(value_);
    connect(slider_, &QSlider::valueChanged, this, [this](int db) {
        ShowValue(db);
        emit volumeChanged(db);
    });
    ShowValue(slider_->value());
}

int32_t LKVVolumeControl::Db() const { return slider_->value(); }

void LKVVolumeControl::SetDb(int32_t db)
{
    const QSignalBlocker block(slider_);
    slider_->setValue(db);
    ShowValue(slider_->value());
}

void LKVVolumeControl::ShowValue(int db)
{
    value_->setText(db <= kMinDb ? QStringLiteral("Mute")
                                          : (db > 0 ? QStringLiteral("+%1 dB") : QStringLiteral("%1 dB")).arg(db));
}
