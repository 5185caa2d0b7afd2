#include "ui/LConvertChannelDlg.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

LConvertChannelDlg::LConvertChannelDlg(int32_t channels, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ConvertChannelDlg"));
    setWindowTitle(QStringLiteral("Convert Channel (Mono <-> Stereo)"));
    auto* group = new QGroupBox(QStringLiteral("Convert each file to"));
    mono_ = new QRadioButton(QStringLiteral("&Mono (1 channel)"));
    mono_->setObjectName(QStringLiteral("mono"));
    stereo_ = new QRadioButton(QStringLiteral("&Stereo (2 channels)"));
    stereo_->setObjectName(QStringLiteral("stereo"));
    (channels == 2 ? stereo_ : mono_)->setChecked(true);
    auto* choices = new QVBoxLayout(group);
    choices->addWidget(mono_);
    choices->addWidget(stereo_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(300, 0)));
}

int32_t LConvertChannelDlg::Channels() const { return stereo_->isChecked() ? 2 : 1; }
