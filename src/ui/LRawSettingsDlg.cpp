#include "ui/LRawSettingsDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <strings.h>

LRawSettingsDlg::LRawSettingsDlg(const std::string& section, const LRawSettings& settings, QWidget* parent)
    : QDialog(parent), section_(section), settings_(settings)
{
    setObjectName(QStringLiteral("LRawDlg"));
    const bool vox = strcasecmp(section.c_str(), kVoxAudioSection) == 0;
    setWindowTitle(vox ? QStringLiteral("VOX File Format") : QStringLiteral("Raw File Format"));

    codec_ = new QComboBox;
    codec_->setObjectName(QStringLiteral("101"));
    for (int32_t c = 0; c < kRawCodecCount; ++c)
        codec_->addItem(QString::fromUtf8(LRawSettings::CodecName(c)));
    codec_->setCurrentIndex(settings.codec < kRawCodecCount ? settings.codec : 0);
    rate_ = new QComboBox;
    rate_->setObjectName(QStringLiteral("102"));
    rate_->setEditable(true);
    rate_->setInsertPolicy(QComboBox::NoInsert);
    for (int32_t r : LRawSettings::kDialogRates)
        rate_->addItem(QString::number(r));
    rate_->setCurrentText(QString::number(settings.sampleRate));
    channels_ = new QComboBox;
    channels_->setObjectName(QStringLiteral("103"));
    channels_->addItems({QStringLiteral("1 - Mono"), QStringLiteral("2 - Stereo")});
    channels_->setCurrentIndex(settings.channels == 2 ? 1 : 0);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &LRawSettingsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("&Format:"), codec_);
    form->addRow(QStringLiteral("&Sample rate (Hz):"), rate_);
    form->addRow(QStringLiteral("&Channels:"), channels_);
    form->addRow(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(320, 0)));
}

void LRawSettingsDlg::accept()
{
    if (LRawSettings::DialogOk(section_, codec_->currentIndex(), rate_->currentText().toStdString(),
                               channels_->currentIndex(), settings_))
        QDialog::accept();
}
