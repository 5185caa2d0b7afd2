#include "ui/LOggEncodeDlg.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/LKVChoiceCombo.h"
#include "ui/LKVEncodeDlgButtons.h"

LOggEncodeDlg::LOggEncodeDlg(const LOggEncoderSettings& settings, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("OggEncodeDlg"));
    setWindowTitle(QStringLiteral("Ogg Vorbis Encoder Settings"));
    abr_ = new QRadioButton(QStringLiteral("&Average bit rate"));
    vbr_ = new QRadioButton(QStringLiteral("&Variable bit rate"));
    abrRate_ = new LKVChoiceCombo;
    abrRate_->SetChoices(kEncodeDlgBitRates);
    vbrMin_ = new LKVChoiceCombo;
    vbrMin_->SetChoices(kEncodeDlgBitRates);
    vbrMax_ = new LKVChoiceCombo;
    vbrMax_->SetChoices(kEncodeDlgBitRates);
    vbrQuality_ = new LKVChoiceCombo;
    vbrQuality_->SetNames(LOggEncoderSettings::kQualityNames);
    channels_ = new LKVChoiceCombo;
    channels_->SetChoices(kEncodeDlgChannels);
    sampleRate_ = new LKVChoiceCombo;
    sampleRate_->SetChoices(kEncodeDlgLossyRates);

    auto* rates = new QGroupBox(QStringLiteral("Bit rate"));
    auto* grid = new QGridLayout(rates);
    grid->addWidget(abr_, 0, 0, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Bit rate (kbit/s):")), 1, 1);
    grid->addWidget(abrRate_, 1, 2);
    grid->addWidget(vbr_, 2, 0, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Minimum (kbit/s):")), 3, 1);
    grid->addWidget(vbrMin_, 3, 2);
    grid->addWidget(new QLabel(QStringLiteral("Maximum (kbit/s):")), 4, 1);
    grid->addWidget(vbrMax_, 4, 2);
    grid->addWidget(new QLabel(QStringLiteral("Quality:")), 5, 1);
    grid->addWidget(vbrQuality_, 5, 2);
    grid->setColumnMinimumWidth(0, 16);
    grid->setColumnStretch(2, 1);

    auto* other = new QFormLayout;
    other->addRow(QStringLiteral("C&hannels:"), channels_);
    other->addRow(QStringLiteral("&Sample rate (Hz):"), sampleRate_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(rates);
    layout->addLayout(other);
    layout->addWidget(LKVEncodeDlgButtons(*this, [this] { Show(LOggEncoderSettings().ForDocument(0, 0)); }));
    connect(abr_, &QRadioButton::toggled, this, &LOggEncodeDlg::UpdateEnabled);
    Show(settings);
    setFixedSize(sizeHint());
}

void LOggEncodeDlg::Show(const LOggEncoderSettings& s)
{
    abr_->setChecked(s.averageBitRate);
    vbr_->setChecked(!s.averageBitRate);
    abrRate_->SelectValue(s.abrBitRate);
    vbrMin_->SelectValue(s.vbrMinBitRate);
    vbrMax_->SelectValue(s.vbrMaxBitRate);
    vbrQuality_->SelectValue(s.vbrQuality);
    channels_->SelectValue(s.channels);
    sampleRate_->SelectValue(s.sampleRate);
    UpdateEnabled();
}

void LOggEncodeDlg::UpdateEnabled()
{
    const bool abr = abr_->isChecked();
    abrRate_->setEnabled(abr);
    vbrMin_->setEnabled(!abr);
    vbrMax_->setEnabled(!abr);
    vbrQuality_->setEnabled(!abr);
}

LOggEncoderSettings LOggEncodeDlg::Settings() const
{
    LOggEncoderSettings s;
    s.averageBitRate = abr_->isChecked();
    s.abrBitRate = abrRate_->Value();
    s.vbrMinBitRate = vbrMin_->Value();
    s.vbrMaxBitRate = vbrMax_->Value();
    s.vbrQuality = vbrQuality_->Value();
    s.channels = channels_->Value();
    s.sampleRate = sampleRate_->Value();
    return s;
}
