// The loudness commands: the analysis of the Tool menu and the "Normalize
// Loudness" effect.
#include <cmath>

#include "app/MainDialog.h"
#include "app/MainDialogShared.h"
#include "core/LProgressDialog.h"
#include "core/LUi.h"
#include "effects/LEfLoudnessScan.h"
#include "effects/LEfNormalizeLoudness.h"
#include "effects/LEfStoredValues.h"

int32_t MainDialog::CmLoudness()
{
    if (!current_)
        return kEffectNotRun;
    LKVFile& doc = *current_;
    const bool selection = doc.HasSelection();
    LEfLoudnessScan::Data data{&doc.audio, selection ? doc.pos.selStart : 0,
                               selection ? doc.pos.selEnd : doc.audio.GetLength(), {}};
    const int32_t result = RunJob("Loudness", [&](LProgressDialog& d) { return LEfLoudnessScan::Process(d, data); });
    if (result != kJobDone)
        return result;
    const LLoudnessResult& r = data.result;
    LUiGet().LoudnessWindow({selection ? "The selection of " + doc.GetTitle() : doc.GetTitle(), r.integrated, r.range,
                             r.maxMomentary, r.maxShortTerm, r.truePeak});
    return result;
}

int32_t MainDialog::CmNormalizeLoudness()
{
    if (!current_ || !current_->HasSelection())
        return kEffectNotRun;
    StopPlayback();
    LKVFile& doc = *current_;
    // Measured before the dialog opens: it shows the loudness it starts from,
    // and its preview needs it for the gain.
    LEfLoudnessScan::Data scan{&doc.audio, doc.pos.selStart, doc.pos.selEnd, {}};
    const int32_t measured =
        RunJob("Normalize Loudness", [&](LProgressDialog& d) { return LEfLoudnessScan::Process(d, scan); });
    if (measured != kJobDone)
        return measured;
    if (!std::isfinite(scan.result.integrated)) {
        LUiGet().Message(LEfNormalizeLoudness::kTooQuietMessage, "Normalize Loudness", LUiButtons::Ok,
                         LUiIcon::Information);
        return kEffectNotRun;
    }
    LUiLoudnessValues values{LEfStored::kLoudnessTarget.Read(), LEfStored::kLoudnessCeiling.Read(),
                             scan.result.integrated, scan.result.truePeak};
    if (!LKVAskChecked([&] { return LUiGet().NormalizeLoudnessDialog(values); },
                       [&] { return LEfNormalizeLoudness::Check(values.targetLufs, values.ceilingDbtp); }))
        return kEffectNotRun;
    LEfStored::kLoudnessTarget.Write(values.targetLufs);
    LEfStored::kLoudnessCeiling.Write(values.ceilingDbtp);
    StartModifyCurrentFile("Normalize Loudness");
    LEfNormalizeLoudness::Data data{&doc.audio, doc.pos.selStart, doc.pos.selEnd, values.targetLufs,
                                    values.ceilingDbtp};
    data.haveMeasured = true;
    data.measured = scan.result;
    const int32_t result =
        RunJob("Normalize Loudness", [&](LProgressDialog& d) { return LEfNormalizeLoudness::Process(d, data); });
    if (result == kJobDone)
        EndModifyCurrentFile(doc.pos.selStart, LKVHalfSecond(doc));
    return result;
}
