#include "ui/LNewFileDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QIntValidator>
#include <QLineEdit>

namespace {
constexpr int32_t kRates[] = {6000, 8000, 11025, 16000, 22050, 32000, 44100, 48000, 64000, 88200, 96000};
}

LNewFileDlg::LNewFileDlg(int32_t sampleRate, uint8_t channels, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("NewFileDlg"));
    setWindowTitle(QStringLiteral("New File"));
    rate_ = new QComboBox;
    rate_->setObjectName(QStringLiteral("sampleRate"));
    rate_->setEditable(true);
    rate_->setInsertPolicy(QComboBox::NoInsert);
    for (int32_t r : kRates)
        rate_->addItem(QString::number(r));
    rate_->lineEdit()->setValidator(new QIntValidator(0, 99999999, rate_));
    rate_->setCurrentText(QString::number(sampleRate));
    channels_ = new QComboBox;
    channels_->setObjectName(QStringLiteral("channels"));
    channels_->addItems({QStringLiteral("1 - Mono"), QStringLiteral("2 - Stereo")});
    channels_->setCurrentIndex(channels == 2 ? 1 : 0);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("&Sample rate (Hz):"), rate_);
    form->addRow(QStringLiteral("&Channels:"), channels_);
    form->addRow(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(300, 0)));
}

int32_t LNewFileDlg::SampleRate() const
{
    bool ok = false;
    const int value = rate_->currentText().trimmed().toInt(&ok);
    return ok ? int32_t(value) : 0;
}

uint8_t LNewFileDlg::Channels() const { return channels_->currentIndex() == 1 ? 2 : 1; }
