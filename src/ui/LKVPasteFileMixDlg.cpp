#include "ui/LKVPasteFileMixDlg.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

#include "effects/LEfDialogChecks.h"
#include "effects/LEfMixPaste.h"

LKVPasteFileMixDlg::LKVPasteFileMixDlg(const QString& caption, const LUiMixValues& values, QWidget* parent)
    : LKVEffectDlg(caption, parent), values_(values)
{
    setObjectName(QStringLiteral("LKVPasteFileMixDlg"));
    volume_ = AddNumberField(101, QStringLiteral("Mix Volume (%)"), values.volume);

    pan_ = new QSlider(Qt::Horizontal);
    pan_->setObjectName(IdName(106));
    pan_->setRange(0, 100);
    pan_->setPageStep(50);
    pan_->setTickPosition(QSlider::TicksBelow);
    pan_->setTickInterval(50);
    pan_->setMinimumWidth(200);
    pan_->setValue(values.stereo ? values.pan : 50);
    pan_->setEnabled(values.stereo);
    auto* panRow = new QWidget;
    auto* panLayout = new QHBoxLayout(panRow);
    panLayout->setContentsMargins(0, 0, 0, 0);
    auto* left = new QLabel(QStringLiteral("L"));
    auto* right = new QLabel(QStringLiteral("R"));
    left->setEnabled(values.stereo);
    right->setEnabled(values.stereo);
    panLayout->addWidget(left);
    panLayout->addWidget(pan_, 1);
    panLayout->addWidget(right);
    Form().addRow(QStringLiteral("Stereo Pan (L - R)"), panRow);

    auto* group = new QGroupBox(QStringLiteral("When the mix is longer than the selection"));
    auto* grid = new QGridLayout(group);
    increase_ = new QRadioButton(QStringLiteral("Increase selection"));
    increase_->setObjectName(IdName(102));
    insert_ = new QRadioButton(QStringLiteral("Insert silence"));
    insert_->setObjectName(IdName(103));
    fade_ = new QRadioButton(QStringLiteral("Fade out mix"));
    fade_->setObjectName(IdName(104));
    fadeTime_ = new QLineEdit(QString::number(values.fadeOutTime));
    fadeTime_->setObjectName(IdName(105));
    fadeTime_->setValidator(volume_->validator());
    fadeTime_->setAlignment(Qt::AlignRight);
    fadeTime_->setFixedWidth(volume_->minimumWidth());
    auto* fadeLabel = new QLabel(QStringLiteral("Fade Out Time (samples):"));
    fadeLabel->setBuddy(fadeTime_);
    grid->addWidget(increase_, 0, 0);
    grid->addWidget(insert_, 1, 0);
    grid->addWidget(fade_, 2, 0);
    grid->addWidget(fadeLabel, 2, 2, Qt::AlignRight);
    grid->addWidget(fadeTime_, 2, 3);
    grid->setColumnMinimumWidth(1, 16);
    grid->setColumnStretch(1, 1);
    Body().addSpacing(4);
    Body().addWidget(group);

    const int32_t mode = values.hasAudio ? values.mode : LEfMixPaste::kExtendSelection;
    (mode == LEfMixPaste::kInsertSilence ? insert_ : mode == LEfMixPaste::kFadeMixOut ? fade_ : increase_)
        ->setChecked(true);
    for (QRadioButton* b : {increase_, insert_, fade_})
        b->setEnabled(values.hasAudio);
    auto follow = [this, fadeLabel] {
        fadeTime_->setEnabled(fade_->isChecked() && fade_->isEnabled());
        fadeLabel->setEnabled(fadeTime_->isEnabled());
    };
    connect(fade_, &QRadioButton::toggled, this, follow);
    follow();
}

int32_t LKVPasteFileMixDlg::CheckedMode() const
{
    if (insert_->isChecked())
        return LEfMixPaste::kInsertSilence;
    if (fade_->isChecked())
        return LEfMixPaste::kFadeMixOut;
    return LEfMixPaste::kExtendSelection;
}

LKVEffectDlg::Failure LKVPasteFileMixDlg::Check()
{
    Failure f;
    int32_t volume = 0;
    if (!ReadNumber(volume_, volume, f))
        return f;
    if (!(f = FailIf(CheckPasteMixVolume(volume), volume_)).message.empty())
        return f;
    const int32_t mode = CheckedMode();
    int32_t fadeTime = values_.fadeOutTime;
    if (mode == LEfMixPaste::kFadeMixOut && !ReadNumber(fadeTime_, fadeTime, f))
        return f;
    values_.volume = volume;
    values_.pan = values_.stereo ? pan_->value() : 50;
    values_.mode = mode;
    values_.fadeOutTime = fadeTime;
    return f;
}
