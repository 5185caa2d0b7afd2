#include "ui/LFlacEncodeDlg.h"

#include <QFormLayout>
#include <QVBoxLayout>

#include "ui/LKVChoiceCombo.h"
#include "ui/LKVEncodeDlgButtons.h"

LFlacEncodeDlg::LFlacEncodeDlg(const LFlacEncoderSettings& settings, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FlacEncodeDlg"));
    setWindowTitle(QStringLiteral("FLAC Encoder Settings"));
    compression_ = new LKVChoiceCombo;
    compression_->SetNames(LFlacEncoderSettings::kCompressionNames);
    channels_ = new LKVChoiceCombo;
    channels_->SetChoices(kEncodeDlgChannels);
    sampleRate_ = new LKVChoiceCombo;
    sampleRate_->SetChoices(kEncodeDlgFlacRates);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("C&ompression:"), compression_);
    form->addRow(QStringLiteral("C&hannels:"), channels_);
    form->addRow(QStringLiteral("&Sample rate (Hz):"), sampleRate_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(LKVEncodeDlgButtons(*this, [this] { Show(LFlacEncoderSettings().ForDocument(0, 0)); }));
    Show(settings);
    setFixedSize(sizeHint().expandedTo(QSize(340, 0)));
}

void LFlacEncodeDlg::Show(const LFlacEncoderSettings& s)
{
    compression_->SelectValue(s.compression);
    channels_->SelectValue(s.channels);
    sampleRate_->SelectValue(s.sampleRate);
}

LFlacEncoderSettings LFlacEncodeDlg::Settings() const
{
    LFlacEncoderSettings s;
    s.compression = compression_->Value();
    s.channels = channels_->Value();
    s.sampleRate = sampleRate_->Value();
    return s;
}
