#include "ui/LKVNormalizeLoudnessDlg.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

#include <cmath>

#include "effects/LEfLoudnessScan.h"
#include "effects/LEfNormalizeLoudness.h"

namespace {

QString Text(double value) { return QString::fromStdString(LEfLoudnessScan::Format(value)); }

} // namespace

LKVNormalizeLoudnessDlg::LKVNormalizeLoudnessDlg(const LUiLoudnessValues& values, QWidget* parent)
    : LKVPreviewDialog(QStringLiteral("Normalize Loudness"), parent), values_(values)
{
    setObjectName(QStringLiteral("LKVNormalizeLoudnessDlg"));
    const bool measured = std::isfinite(values.measuredLufs);
    if (measured)
        Form().addRow(QStringLiteral("Selection:"),
                      new QLabel(Text(values.measuredLufs) + QStringLiteral(" LUFS, true peak ") +
                                 Text(values.measuredPeakDbtp) + QStringLiteral(" dBTP")));
    preset_ = new QComboBox;
    preset_->setObjectName(IdName(103));
    preset_->addItems({QStringLiteral("-23 LUFS: broadcast (EBU R128)"), QStringLiteral("-16 LUFS: podcast, stereo"),
                       QStringLiteral("-14 LUFS: streaming"), QStringLiteral("Custom")});
    Form().addRow(QStringLiteral("Standard:"), preset_);
    target_ = AddNumberField(101, QStringLiteral("Target Loudness (LUFS):"), values.targetLufs);
    ceiling_ = AddNumberField(102, QStringLiteral("True Peak Ceiling (dBTP):"), values.ceilingDbtp);
    if (measured) {
        gain_ = new QLabel;
        gain_->setObjectName(QStringLiteral("gain"));
        Form().addRow(QStringLiteral("Gain:"), gain_);
    }
    WatchField(target_);
    WatchField(ceiling_);
    connect(target_, &QLineEdit::textChanged, this, [this] { Typed(); });
    connect(ceiling_, &QLineEdit::textChanged, this, [this] { Typed(); });
    connect(preset_, &QComboBox::activated, this, [this](int index) {
        if (index < int(std::size(kPresets)))
            target_->setText(QString::number(kPresets[index]));
    });
    Typed();
}

void LKVNormalizeLoudnessDlg::Typed()
{
    const int32_t target = TypedNumber(target_);
    int index = int(std::size(kPresets));
    for (size_t i = 0; i < std::size(kPresets); ++i)
        if (kPresets[i] == target)
            index = int(i);
    {
        const QSignalBlocker quiet(preset_);
        preset_->setCurrentIndex(index);
    }
    if (!gain_)
        return;
    const double gain = target - values_.measuredLufs;
    const bool limits = values_.measuredPeakDbtp + gain > TypedNumber(ceiling_) - LEfNormalizeLoudness::kPeakSafety;
    gain_->setText(QString::asprintf("%+.1f dB", gain) +
                   (limits ? QStringLiteral(", with the peak limiter") : QString()));
}

LKVEffectDlg::Failure LKVNormalizeLoudnessDlg::Check()
{
    Failure f;
    if (!ReadNumber(target_, values_.targetLufs, f) || !ReadNumber(ceiling_, values_.ceilingDbtp, f))
        return f;
    const std::string message = LEfNormalizeLoudness::Check(values_.targetLufs, values_.ceilingDbtp);
    const bool targetFailed = values_.targetLufs < LEfNormalizeLoudness::kMinTarget ||
                              values_.targetLufs > LEfNormalizeLoudness::kMaxTarget;
    return FailIf(message, targetFailed ? target_ : ceiling_);
}

std::unique_ptr<LEfSourceMaker> LKVNormalizeLoudnessDlg::MakePreviewMaker() const
{
    // Values outside their ranges preview at the nearest one the command accepts.
    const int32_t target = std::clamp(TypedNumber(target_), LEfNormalizeLoudness::kMinTarget,
                                      LEfNormalizeLoudness::kMaxTarget);
    const int32_t ceiling = std::clamp(TypedNumber(ceiling_), LEfNormalizeLoudness::kMinCeiling,
                                       LEfNormalizeLoudness::kMaxCeiling);
    return std::make_unique<LEfLoudnessGainMaker>(
        LEfNormalizeLoudness::FirstGuess(target, ceiling, values_.measuredLufs, values_.measuredPeakDbtp));
}
