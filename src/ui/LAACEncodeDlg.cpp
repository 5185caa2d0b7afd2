#include "ui/LAACEncodeDlg.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/LKVChoiceCombo.h"
#include "ui/LKVEncodeDlgButtons.h"

LAACEncodeDlg::LAACEncodeDlg(const LAACEncoderSettings& settings, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AACEncodeDlg"));
    setWindowTitle(QStringLiteral("AAC Encoder Settings"));
    abr_ = new QRadioButton(QStringLiteral("&Average bit rate"));
    vbr_ = new QRadioButton(QStringLiteral("&Variable bit rate"));
    abrRate_ = new LKVChoiceCombo;
    abrRate_->SetChoices(kEncodeDlgBitRates);
    quality_ = new LKVChoiceCombo;
    quality_->SetChoices(LAACEncoderSettings::kQualities);
    channels_ = new LKVChoiceCombo;
    channels_->SetChoices(kEncodeDlgChannels);
    sampleRate_ = new LKVChoiceCombo;
    sampleRate_->SetChoices(kEncodeDlgLossyRates);
    mpeg2_ = new QCheckBox(QStringLiteral("Force &MPEG-2 AAC"));
    noTns_ = new QCheckBox(QStringLiteral("Disable &temporal noise shaping"));

    auto* rates = new QGroupBox(QStringLiteral("Bit rate"));
    auto* grid = new QGridLayout(rates);
    grid->addWidget(abr_, 0, 0, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Bit rate (kbit/s):")), 1, 1);
    grid->addWidget(abrRate_, 1, 2);
    grid->addWidget(vbr_, 2, 0, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Quality:")), 3, 1);
    grid->addWidget(quality_, 3, 2);
    grid->setColumnMinimumWidth(0, 16);
    grid->setColumnStretch(2, 1);

    auto* other = new QFormLayout;
    other->addRow(QStringLiteral("C&hannels:"), channels_);
    other->addRow(QStringLiteral("&Sample rate (Hz):"), sampleRate_);
    other->addRow(mpeg2_);
    other->addRow(noTns_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(rates);
    layout->addLayout(other);
    layout->addWidget(LKVEncodeDlgButtons(*this, [this] { Show(LAACEncoderSettings().ForDocument(0, 0)); }));
    connect(abr_, &QRadioButton::toggled, this, &LAACEncodeDlg::UpdateEnabled);
    Show(settings);
    setFixedSize(sizeHint());
}

void LAACEncodeDlg::Show(const LAACEncoderSettings& s)
{
    abr_->setChecked(s.averageBitRate);
    vbr_->setChecked(!s.averageBitRate);
    abrRate_->SelectValue(s.abrBitRate);
    quality_->SelectValue(s.vbrQuality);
    channels_->SelectValue(s.channels);
    sampleRate_->SelectValue(s.sampleRate);
    mpeg2_->setChecked(s.forceMpeg2);
    noTns_->setChecked(s.disableTns);
    UpdateEnabled();
}

void LAACEncodeDlg::UpdateEnabled()
{
    const bool abr = abr_->isChecked();
    abrRate_->setEnabled(abr);
    quality_->setEnabled(!abr);
}

LAACEncoderSettings LAACEncodeDlg::Settings() const
{
    LAACEncoderSettings s;
    s.averageBitRate = abr_->isChecked();
    s.abrBitRate = abrRate_->Value();
    s.vbrQuality = quality_->Value();
    s.channels = channels_->Value();
    s.sampleRate = sampleRate_->Value();
    s.forceMpeg2 = mpeg2_->isChecked();
    s.disableTns = noTns_->isChecked();
    return s;
}
