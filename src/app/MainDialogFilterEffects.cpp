// The filter and dynamics effect commands: echo, reverb, high-pass, equalizer,
// compressor, noise reduction and automatic gain control.
#include <string>
#include <vector>

#include "app/MainDialog.h"
#include "app/MainDialogShared.h"
#include "core/LProgressDialog.h"
#include "core/LUi.h"
#include "effects/CompressorRatioList.h"
#include "effects/EfAutoGainControl.h"
#include "effects/LEfDialogChecks.h"
#include "effects/LEfFilterJobs.h"
#include "effects/LEfLevelChecks.h"
#include "effects/LEfStoredValues.h"
#include "effects/PointList.h"

int32_t MainDialog::CmEcho()
{
    if (!current_ || !current_->HasSelection())
        return kEffectNotRun;
    StopPlayback();
    int32_t time = LEfStored::kEchoTime.Read(), gain = LEfStored::kEchoGain.Read();
    if (!LKVAskChecked([&] { return LUiGet().EchoDialog(time, gain); }, [&] { return CheckEcho(time, gain); }))
        return kEffectNotRun;
    LEfStored::kEchoTime.Write(time);
    LEfStored::kEchoGain.Write(gain);
    LKVFile& doc = *current_;
    StartModifyCurrentFile("Echo");
    const int32_t result = RunJob("Echo", [&](LProgressDialog& d) {
        return LEfFilterJobs::EfEcho(d, doc.audio, doc.pos.selStart, doc.pos.selEnd, gain, time);
    });
    if (result == kJobDone)
        EndModifyCurrentFile(doc.pos.selStart, LKVHalfSecond(doc));
    return result;
}

int32_t MainDialog::CmReverb()
{
    if (!current_ || !current_->HasSelection())
        return kEffectNotRun;
    StopPlayback();
    int32_t level = LEfStored::kReverbLevel.Read(), time = LEfStored::kReverbTime.Read();
    if (!LKVAskChecked([&] { return LUiGet().ReverbDialog(level, time); }, [&] { return CheckReverb(level, time); }))
        return kEffectNotRun;
    LEfStored::kReverbLevel.Write(level);
    LEfStored::kReverbTime.Write(time);
    LKVFile& doc = *current_;
    StartModifyCurrentFile("Reverb");
    const int32_t result = RunJob("Reverb", [&](LProgressDialog& d) {
        return LEfFilterJobs::EfReverb(d, doc.audio, doc.pos.selStart, doc.pos.selEnd, level, time);
    });
    if (result == kJobDone)
        EndModifyCurrentFile(doc.pos.selStart, LKVOneSecond(doc));
    return result;
}

int32_t MainDialog::CmHighPassFilter()
{
    if (!current_ || !current_->HasSelection())
        return kEffectNotRun;
    StopPlayback();
    int32_t frequency = LEfStored::kLowCutFreq.Read();
    if (!LUiGet().HighPassDialog(frequency))
        return kEffectNotRun;
    LEfStored::kLowCutFreq.Write(frequency);
    LKVFile& doc = *current_;
    StartModifyCurrentFile("High-Pass Filter");
    const int32_t result = RunJob("High-Pass Filter", [&](LProgressDialog& d) {
        return LEfFilterJobs::EfLowCutFilter(d, doc.audio, doc.pos.selStart, doc.pos.selEnd, frequency);
    });
    if (result == kJobDone)
        EndModifyCurrentFile(doc.pos.selStart, LKVHalfSecond(doc));
    return result;
}

int32_t MainDialog::CmEqualizer()
{
    if (!current_ || !current_->HasSelection())
        return kEffectNotRun;
    StopPlayback();
    const std::string file = PointList::CurrentFile("equalizer.dat");
    LUiCurve curve = PointList::Load(file).ToUi();
    if (!LUiGet().EqualizerDialog(curve))
        return kEffectNotRun;
    const PointList points = PointList::FromUi(curve);
    points.Save(file);
    LKVFile& doc = *current_;
    StartModifyCurrentFile("Equalizer");
    const int32_t result = RunJob("Equalizer", [&](LProgressDialog& d) {
        return LEfFilterJobs::EfEqualiser(d, doc.audio, doc.pos.selStart, doc.pos.selEnd, points);
    });
    if (result == kJobDone)
        EndModifyCurrentFile(doc.pos.selStart, LKVOneSecond(doc));
    return result;
}

int32_t MainDialog::CmCompressor()
{
    if (!current_ || !current_->HasSelection())
        return kEffectNotRun;
    StopPlayback();
    int32_t threshold = LEfStored::kCompressorThreshold.Read();
    int32_t ratio = LEfStored::kCompressorRatio.Read();
    int32_t limit = LEfStored::kCompressorLimit.Read();
    std::vector<std::string> names;
    for (int32_t i = 0; i < CompressorRatioList::kCount; ++i)
        names.push_back(CompressorRatioList::Find(i)->name);
    if (!LKVAskChecked([&] { return LUiGet().CompressorDialog(names, threshold, ratio, limit); },
                    [&] { return CheckCompressorLevels(threshold, limit); }))
        return kEffectNotRun;
    LEfStored::kCompressorThreshold.Write(threshold);
    LEfStored::kCompressorRatio.Write(ratio);
    LEfStored::kCompressorLimit.Write(limit);
    if (!CompressorRatioList::Find(ratio))
        return kEffectNotRun;
    LKVFile& doc = *current_;
    StartModifyCurrentFile("Dynamic Range Compressor");
    const int32_t result = RunJob("Dynamic Range Compressor", [&](LProgressDialog& d) {
        return LEfFilterJobs::EfCompressor(d, doc.audio, doc.pos.selStart, doc.pos.selEnd, threshold, ratio, limit);
    });
    if (result == kJobDone)
        EndModifyCurrentFile(doc.pos.selStart, LKVHalfSecond(doc));
    return result;
}

int32_t MainDialog::CmNoiseReduction()
{
    if (!current_ || !current_->HasSelection())
        return kEffectNotRun;
    StopPlayback();
    int32_t level = LEfStored::kNoiseGateLevel.Read();
    if (!LKVAskChecked([&] { return LUiGet().NoiseReductionDialog(level); }, [&] { return CheckNoiseGateLevel(level); }))
        return kEffectNotRun;
    LEfStored::kNoiseGateLevel.Write(level);
    LKVFile& doc = *current_;
    StartModifyCurrentFile("Noise Reduction");
    const int32_t result = RunJob("Noise Reduction", [&](LProgressDialog& d) {
        return LEfFilterJobs::EfNoiseReduction(d, doc.audio, doc.pos.selStart, doc.pos.selEnd, level);
    });
    if (result == kJobDone)
        EndModifyCurrentFile(doc.pos.selStart, LKVOneSecond(doc));
    return result;
}

int32_t MainDialog::CmAutomaticGainControl()
{
    if (!current_ || !current_->HasSelection())
        return kEffectNotRun;
    LKVFile& doc = *current_;
    StartModifyCurrentFile("Automatic Gain Control");
    EfAutoGainControl::Data data{&doc.audio, doc.pos.selStart, doc.pos.selEnd, {}};
    const int32_t result = RunJob("Automatic Gain Control",
                                  [&](LProgressDialog& d) { return EfAutoGainControl::Process(d, data); });
    if (result != kJobDone)
        return result;
    doc.pos.selStart = doc.pos.selEnd = 0;
    EndModifyCurrentFile(0, 0);
    return result;
}
