#include "ui/LKVEffectShots.h"

#include <QApplication>

#include "effects/CompressorRatioList.h"
#include "effects/PointList.h"
#include "ui/LKVAmplifyDlg.h"
#include "ui/LKVBrainWaveWidget.h"
#include "ui/LKVCompressorDlg.h"
#include "ui/LKVCurvePanel.h"
#include "ui/LKVEchoDlg.h"
#include "ui/LKVEnvelopeDlg.h"
#include "ui/LKVEqualizerDlg.h"
#include "ui/LKVHighPassDlg.h"
#include "ui/LKVNoiseReductionDlg.h"
#include "ui/LKVNormalizeDlg.h"
#include "ui/LKVNormalizeLoudnessDlg.h"
#include "ui/LKVPasteFileMixDlg.h"
#include "ui/LKVRepeatDlg.h"
#include "ui/LKVReverbDlg.h"
#include "ui/LKVSilenceDlg.h"
#include "ui/LKVSpeedChangeDlg.h"

namespace {

void Shoot(QDialog& d, const QString& name, const std::function<void(QWidget&, const QString&)>& save)
{
    d.show();
    QApplication::processEvents();
    save(d, name);
    d.reject();
}

} // namespace

void LKVEffectShots(QWidget* parent, const std::function<void(QWidget&, const QString&)>& save)
{
    {
        LKVAmplifyDlg d(150, parent);
        Shoot(d, QStringLiteral("dialog-amplify"), save);
    }
    {
        LKVNormalizeDlg d(100, parent);
        Shoot(d, QStringLiteral("dialog-normalize"), save);
    }
    {
        LUiLoudnessValues v;
        v.targetLufs = -16;
        v.measuredLufs = -20.3;
        v.measuredPeakDbtp = -3.1;
        LKVNormalizeLoudnessDlg d(v, parent);
        Shoot(d, QStringLiteral("dialog-normalize-loudness"), save);
    }
    {
        LKVEchoDlg d(800, 50, parent);
        Shoot(d, QStringLiteral("dialog-echo"), save);
    }
    {
        LKVReverbDlg d(100, 50, parent);
        Shoot(d, QStringLiteral("dialog-reverb"), save);
    }
    {
        LKVHighPassDlg d(250, parent);
        Shoot(d, QStringLiteral("dialog-high-pass"), save);
    }
    const char* speed[] = {"Simple Speed and Pitch Change", "Constant Pitch and Speed Change",
                           "Constant Speed and Pitch Change"};
    for (int mode = 0; mode < 3; ++mode) {
        LKVSpeedChangeDlg d(QString::fromUtf8(speed[mode]), 100, parent);
        Shoot(d, QStringLiteral("dialog-speed-%1").arg(mode), save);
    }
    {
        std::vector<std::string> names;
        for (int32_t i = 0; i < CompressorRatioList::kCount; ++i)
            names.push_back(CompressorRatioList::Find(i)->name);
        LKVCompressorDlg d(names, -20, 2, 3, parent);
        Shoot(d, QStringLiteral("dialog-compressor"), save);
    }
    {
        LKVNoiseReductionDlg d(-30, parent);
        Shoot(d, QStringLiteral("dialog-noise-reduction"), save);
    }
    {
        LKVSilenceDlg d(QStringLiteral("Insert Silence At Current Position"), 500, parent);
        Shoot(d, QStringLiteral("dialog-insert-silence"), save);
    }
    {
        LKVRepeatDlg d(1, parent);
        Shoot(d, QStringLiteral("dialog-repeat"), save);
    }
    {
        LUiMixValues stereo;
        stereo.stereo = true;
        LKVPasteFileMixDlg d(QStringLiteral("Paste Mix"), stereo, parent);
        Shoot(d, QStringLiteral("dialog-paste-mix"), save);
    }
    {
        LUiMixValues mono;
        mono.mode = 2;
        LKVPasteFileMixDlg d(QStringLiteral("Mix File"), mono, parent);
        Shoot(d, QStringLiteral("dialog-mix-file-mono"), save);
    }
    {
        LUiEnvelopeValues v;
        v.curve = PointList::Of({{0, 0}, {40, 128}, {180, 150}, {220, 64}, {255, 0}}).ToUi();
        v.selectionStartMs = 1500;
        v.selectionLengthMs = 4250;
        LKVEnvelopeDlg d(v, parent);
        d.Panel().Graph().SetLabel(QStringLiteral("(0:00:04.50, 117 %)"));
        Shoot(d, QStringLiteral("dialog-envelope"), save);
    }
    {
        const PointList curve = PointList::Of({{0, 180}, {12, 170}, {40, 128}, {120, 110}, {200, 150}, {255, 128}});
        LKVEqualizerDlg d(curve.ToUi(), parent);
        d.Panel().Graph().SetLabel(QStringLiteral("9411 Hz, 85 %"));
        Shoot(d, QStringLiteral("dialog-equalizer"), save);
    }
}
