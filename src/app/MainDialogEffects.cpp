#include <string>

#include "app/MainDialog.h"
#include "app/MainDialogShared.h"
#include "core/LProgressDialog.h"
#include "core/LSoundTime.h"
#include "core/LUi.h"
#include "effects/LEfChangeSpeedPitch.h"
#include "effects/LEfDialogChecks.h"
#include "effects/LEfEnvelope.h"
#include "effects/LEfNormalize.h"
#include "effects/LEfStoredValues.h"
#include "effects/PointList.h"

namespace {

const LEfStoredValue& SpeedValue(int32_t mode)
{
    switch (mode) {
    case LEfChangeSpeedPitch::kConstantPitch: return LEfStored::kConstPitchSpeed;
    case LEfChangeSpeedPitch::kConstantSpeed: return LEfStored::kConstSpeedPitch;
    default: return LEfStored::kSpSpeedPitch;
    }
}

} // namespace

int32_t MainDialog::CmAmplify()
{
    if (!current_ || !current_->HasSelection())
        return kEffectNotRun;
    StopPlayback();
    int32_t gain = LEfStored::kAmplifyGain.Read();
    if (!LKVAskChecked([&] { return LUiGet().AmplifyDialog(gain); }, [&] { return CheckAmplifyGain(gain); }))
        return kEffectNotRun;
    LEfStored::kAmplifyGain.Write(gain);
    LKVFile& doc = *current_;
    StartModifyCurrentFile("Amplify");
    doc.audio.EfAmplify(doc.pos.selStart, doc.pos.selEnd, gain);
    EndModifyCurrentFile(doc.pos.selStart, LKVOneSecond(doc));
    return kJobDone;
}

int32_t MainDialog::CmNormalize()
{
    if (!current_ || !current_->HasSelection())
        return kEffectNotRun;
    StopPlayback();
    int32_t level = LEfStored::kNormalizePeakLevel.Read();
    if (!LKVAskChecked([&] { return LUiGet().NormalizeDialog(level); }, [&] { return CheckNormalizePeakLevel(level); }))
        return kEffectNotRun;
    LEfStored::kNormalizePeakLevel.Write(level);
    LKVFile& doc = *current_;
    StartModifyCurrentFile("Normalize");
    LEfNormalize::Data data{&doc.audio, doc.pos.selStart, doc.pos.selEnd, level, 100};
    const int32_t result = RunJob("Normalize", [&](LProgressDialog& d) { return LEfNormalize::Process(d, data); });
    if (result == kJobDone)
        EndModifyCurrentFile(doc.pos.selStart, LKVHalfSecond(doc));
    return result;
}

namespace {

int32_t RunEnvelope(const char* title, LKVFile& doc, const PointList& points)
{
    LEfEnvelope::Data data{&doc.audio, doc.pos.selStart, doc.pos.selEnd, points};
    return RunJob(title, [&](LProgressDialog& d) { return LEfEnvelope::Process(d, data); });
}

} // namespace

int32_t MainDialog::CmFadeIn()
{
    if (!current_ || !current_->HasSelection())
        return kEffectNotRun;
    LKVFile& doc = *current_;
    StartModifyCurrentFile("Fade In");
    const int32_t result = RunEnvelope("Fade In", doc, LEfEnvelope::FadeInPoints());
    if (result == kJobDone)
        EndModifyCurrentFile(doc.pos.selStart, LKVOneSecond(doc));
    return result;
}

int32_t MainDialog::CmFadeOut()
{
    if (!current_ || !current_->HasSelection())
        return kEffectNotRun;
    LKVFile& doc = *current_;
    StartModifyCurrentFile("Fade Out");
    const int32_t result = RunEnvelope("Fade Out", doc, LEfEnvelope::FadeOutPoints());
    if (result == kJobDone)
        EndModifyCurrentFile(doc.pos.selStart, LKVHalfSecond(doc));
    return result;
}

int32_t MainDialog::CmFadeOutAndTrim()
{
    if (!current_ || !current_->HasSelection())
        return kEffectNotRun;
    LKVFile& doc = *current_;
    StartModifyCurrentFile("Fade Out and Trim");
    const int32_t result = RunEnvelope("Fade Out and Trim", doc, LEfEnvelope::FadeOutPoints());
    if (result != kJobDone)
        return result;
    doc.audio.EfDeleteAfter(doc.pos.selEnd);
    EndModifyCurrentFile(doc.pos.selStart, LKVHalfSecond(doc));
    return result;
}

int32_t MainDialog::CmEnvelope()
{
    if (!current_ || !current_->HasSelection())
        return kEffectNotRun;
    StopPlayback();
    LKVFile& doc = *current_;
    const std::string file = PointList::CurrentFile("envelope.dat");
    LUiEnvelopeValues values;
    values.curve = PointList::Load(file).ToUi();
    LSoundTime start, length;
    start.SetSamples(doc.pos.selStart, doc.audio.sampleRate);
    length.SetSamples(doc.pos.selEnd - doc.pos.selStart, doc.audio.sampleRate);
    values.selectionStartMs = start.GetMs();
    values.selectionLengthMs = length.GetMs();
    if (!LUiGet().EnvelopeDialog(values))
        return kEffectNotRun;
    const PointList points = PointList::FromUi(values.curve);
    points.Save(file);
    StartModifyCurrentFile("Envelope");
    const int32_t result = RunEnvelope("Envelope", doc, points);
    if (result == kJobDone)
        EndModifyCurrentFile(doc.pos.selStart, LKVHalfSecond(doc));
    return result;
}

int32_t MainDialog::CmSpeedChange(int32_t mode)
{
    if (!current_ || !current_->HasSelection() || mode < 0 || mode > 2)
        return kEffectNotRun;
    StopPlayback();
    const std::string name = SpeedChangeCommandName(mode);
    const LEfStoredValue& stored = SpeedValue(mode);
    int32_t percent = stored.Read();
    if (!LKVAskChecked([&] { return LUiGet().SpeedChangeDialog(name, percent); },
                    [&] { return CheckSpeedChangePercent(percent); }))
        return kEffectNotRun;
    stored.Write(percent);
    LKVFile& doc = *current_;
    StartModifyCurrentFile(name);
    LEfChangeSpeedPitch::Data data{&doc.audio, doc.pos.selStart, doc.pos.selEnd, percent, mode};
    const int32_t result =
        RunJob(name, [&](LProgressDialog& d) { return LEfChangeSpeedPitch::Process(d, data); });
    if (result != kJobDone)
        return result;
    doc.pos.selEnd = data.stEnd;
    EndModifyCurrentFile(doc.pos.selStart, LKVHalfSecond(doc));
    return result;
}
