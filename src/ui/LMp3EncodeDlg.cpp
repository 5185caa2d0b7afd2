#include "ui/LMp3EncodeDlg.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/LKVChoiceCombo.h"
#include "ui/LKVEncodeDlgButtons.h"

LMp3EncodeDlg::LMp3EncodeDlg(const LMp3EncoderSettings& settings, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("LMp3EncodeDlg"));
    setWindowTitle(QStringLiteral("MP3 Encoder Settings"));
    cbr_ = new QRadioButton(QStringLiteral("&Constant bit rate"));
    vbr_ = new QRadioButton(QStringLiteral("&Variable bit rate"));
    cbrRate_ = new LKVChoiceCombo;
    cbrRate_->SetChoices(kEncodeDlgBitRates);
    highQuality_ = new QCheckBox(QStringLiteral("&High quality (slower)"));
    vbrMin_ = new LKVChoiceCombo;
    vbrMin_->SetChoices(kEncodeDlgBitRates);
    vbrMax_ = new LKVChoiceCombo;
    vbrMax_->SetChoices(kEncodeDlgBitRates);
    vbrQuality_ = new LKVChoiceCombo;
    vbrQuality_->SetNames(LMp3EncoderSettings::kQualityNames);
    errorProtection_ = new QCheckBox(QStringLiteral("&Error protection"));
    channelMode_ = new LKVChoiceCombo;
    channelMode_->SetNames(LMp3EncoderSettings::kChannelModeNames);

    auto* rates = new QGroupBox(QStringLiteral("Bit rate"));
    auto* grid = new QGridLayout(rates);
    grid->addWidget(cbr_, 0, 0, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Bit rate (kbit/s):")), 1, 1);
    grid->addWidget(cbrRate_, 1, 2);
    grid->addWidget(highQuality_, 2, 1, 1, 2);
    grid->addWidget(vbr_, 3, 0, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Minimum (kbit/s):")), 4, 1);
    grid->addWidget(vbrMin_, 4, 2);
    grid->addWidget(new QLabel(QStringLiteral("Maximum (kbit/s):")), 5, 1);
    grid->addWidget(vbrMax_, 5, 2);
    grid->addWidget(new QLabel(QStringLiteral("Quality:")), 6, 1);
    grid->addWidget(vbrQuality_, 6, 2);
    grid->setColumnMinimumWidth(0, 16);
    grid->setColumnStretch(2, 1);

    auto* other = new QFormLayout;
    other->addRow(QStringLiteral("Channel &mode:"), channelMode_);
    other->addRow(errorProtection_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(rates);
    layout->addLayout(other);
    layout->addWidget(LKVEncodeDlgButtons(*this, [this] { Show(LMp3EncoderSettings()); }));
    connect(cbr_, &QRadioButton::toggled, this, &LMp3EncodeDlg::UpdateEnabled);
    Show(settings);
    setFixedSize(sizeHint());
}

void LMp3EncodeDlg::Show(const LMp3EncoderSettings& s)
{
    cbr_->setChecked(s.constantBitRate);
    vbr_->setChecked(!s.constantBitRate);
    cbrRate_->SelectValue(s.cbrBitRate);
    highQuality_->setChecked(s.highQuality);
    vbrMin_->SelectValue(s.vbrMinBitRate);
    vbrMax_->SelectValue(s.vbrMaxBitRate);
    vbrQuality_->SelectValue(s.vbrQuality);
    errorProtection_->setChecked(s.errorProtection);
    channelMode_->SelectValue(s.channelMode);
    UpdateEnabled();
}

void LMp3EncodeDlg::UpdateEnabled()
{
    const bool cbr = cbr_->isChecked();
    cbrRate_->setEnabled(cbr);
    highQuality_->setEnabled(cbr);
    vbrMin_->setEnabled(!cbr);
    vbrMax_->setEnabled(!cbr);
    vbrQuality_->setEnabled(!cbr);
}

LMp3EncoderSettings LMp3EncodeDlg::Settings() const
{
    LMp3EncoderSettings s;
    s.constantBitRate = cbr_->isChecked();
    s.cbrBitRate = cbrRate_->Value();
    s.highQuality = highQuality_->isChecked();
    s.vbrMinBitRate = vbrMin_->Value();
    s.vbrMaxBitRate = vbrMax_->Value();
    s.vbrQuality = vbrQuality_->Value();
    s.errorProtection = errorProtection_->isChecked();
    s.channelMode = channelMode_->Value();
    return s;
}
