// The effect dialogs of the user-interface port: each opens modal over the
// active window on the values passed in and, on OK, hands back what it checked.
#include "ui/LKVAmplifyDlg.h"
#include "ui/LKVCompressorDlg.h"
#include "ui/LKVDialogExec.h"
#include "ui/LKVEchoDlg.h"
#include "ui/LKVEnvelopeDlg.h"
#include "ui/LKVEqualizerDlg.h"
#include "ui/LKVHighPassDlg.h"
#include "ui/LKVLoudnessDlg.h"
#include "ui/LKVNoiseReductionDlg.h"
#include "ui/LKVNormalizeDlg.h"
#include "ui/LKVNormalizeLoudnessDlg.h"
#include "ui/LKVPasteFileMixDlg.h"
#include "ui/LKVRepeatDlg.h"
#include "ui/LKVReverbDlg.h"
#include "ui/LKVSilenceDlg.h"
#include "ui/LKVSpeedChangeDlg.h"
#include "ui/LQtUi.h"

namespace {
bool Run(QDialog& dialog) { return LKVExec(dialog) == QDialog::Accepted; }
} // namespace

bool LQtUi::AmplifyDialog(int32_t& gainPercent)
{
    LKVAmplifyDlg d(gainPercent, Owner());
    if (!Run(d))
        return false;
    gainPercent = d.Value();
    return true;
}

bool LQtUi::NormalizeDialog(int32_t& peakLevelPercent)
{
    LKVNormalizeDlg d(peakLevelPercent, Owner());
    if (!Run(d))
        return false;
    peakLevelPercent = d.Value();
    return true;
}

bool LQtUi::EnvelopeDialog(LUiEnvelopeValues& values)
{
    LKVEnvelopeDlg d(values, Owner());
    if (!Run(d))
        return false;
    values = d.Values();
    return true;
}

bool LQtUi::SpeedChangeDialog(const std::string& caption, int32_t& percent)
{
    LKVSpeedChangeDlg d(QString::fromStdString(caption), percent, Owner());
    if (!Run(d))
        return false;
    percent = d.Percent();
    return true;
}

bool LQtUi::EchoDialog(int32_t& timeMs, int32_t& gainPercent)
{
    LKVEchoDlg d(timeMs, gainPercent, Owner());
    if (!Run(d))
        return false;
    timeMs = d.TimeMs();
    gainPercent = d.GainPercent();
    return true;
}

bool LQtUi::ReverbDialog(int32_t& levelPercent, int32_t& timeMs)
{
    LKVReverbDlg d(levelPercent, timeMs, Owner());
    if (!Run(d))
        return false;
    levelPercent = d.LevelPercent();
    timeMs = d.TimeMs();
    return true;
}

bool LQtUi::HighPassDialog(int32_t& frequency)
{
    LKVHighPassDlg d(frequency, Owner());
    if (!Run(d))
        return false;
    frequency = d.Frequency();
    return true;
}

bool LQtUi::EqualizerDialog(LUiCurve& curve)
{
    LKVEqualizerDlg d(curve, Owner());
    if (!Run(d))
        return false;
    curve = d.Curve();
    return true;
}

bool LQtUi::CompressorDialog(const std::vector<std::string>& ratioNames, int32_t& thresholdDb, int32_t& ratioIndex,
                             int32_t& limitDb)
{
    LKVCompressorDlg d(ratioNames, thresholdDb, ratioIndex, limitDb, Owner());
    if (!Run(d))
        return false;
    thresholdDb = d.ThresholdDb();
    ratioIndex = d.RatioIndex();
    limitDb = d.LimitDb();
    return true;
}

bool LQtUi::NoiseReductionDialog(int32_t& levelDb)
{
    LKVNoiseReductionDlg d(levelDb, Owner());
    if (!Run(d))
        return false;
    levelDb = d.LevelDb();
    return true;
}

bool LQtUi::SilenceDialog(const std::string& caption, int32_t& ms)
{
    LKVSilenceDlg d(QString::fromStdString(caption), ms, Owner());
    if (!Run(d))
        return false;
    ms = d.Value();
    return true;
}

bool LQtUi::RepeatDialog(int32_t& times)
{
    LKVRepeatDlg d(times, Owner());
    if (!Run(d))
        return false;
    times = d.Value();
    return true;
}

bool LQtUi::PasteMixDialog(const std::string& caption, LUiMixValues& values)
{
    LKVPasteFileMixDlg d(QString::fromStdString(caption), values, Owner());
    if (!Run(d))
        return false;
    values = d.Values();
    return true;
}

bool LQtUi::NormalizeLoudnessDialog(LUiLoudnessValues& values)
{
    LKVNormalizeLoudnessDlg d(values, Owner());
    if (!Run(d))
        return false;
    values = d.Values();
    return true;
}

void LQtUi::LoudnessWindow(const LUiLoudnessReport& report)
{
    LKVLoudnessDlg d(report, Owner());
    LKVExec(d);
}
