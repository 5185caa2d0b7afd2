#include "effects/LEfNormalizeLoudness.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/LUi.h"
#include "core/Q24.h"
#include "effects/LEfSoundProcess.h"

const char* LEfNormalizeLoudness::kTooQuietMessage =
    "The audio is too quiet or too short to measure its loudness (it needs at least 0.4 seconds above "
    "-70 LUFS). Nothing was changed.";

std::string LEfNormalizeLoudness::Check(int32_t targetLufs, int32_t ceilingDbtp)
{
    if (targetLufs < kMinTarget || targetLufs > kMaxTarget)
        return "Target Loudness must be between -70 and -5 LUFS. Please try again.";
    if (ceilingDbtp < kMinCeiling || ceilingDbtp > kMaxCeiling)
        return "True Peak Ceiling must be between -20 and 0 dBTP. Please try again.";
    return {};
}

uint32_t LEfNormalizeLoudness::LimitOf(double dbtp)
{
    const double v = std::floor(524288.0 * std::pow(10.0, dbtp / 20.0));
    return uint32_t(std::clamp(v, 1.0, double(0x7FFF0)));
}

LEfLoudnessGainMaker LEfNormalizeLoudness::FirstGuess(int32_t targetLufs, int32_t ceilingDbtp, double integrated,
                                                      double peak)
{
    if (!std::isfinite(integrated))
        return {kQ24Unity, 0, kQ24Unity};
    const double gain = targetLufs - integrated;
    const bool limit = std::isfinite(peak) && peak + gain > ceilingDbtp - kPeakSafety;
    return {LSRCGain::GainFromDb(gain), limit ? LimitOf(ceilingDbtp - kFirstMargin) : 0, kQ24Unity};
}

int32_t LEfNormalizeLoudness::Process(LProgressDialog& dialog, Data& data)
{
    data.gainDb = 0;
    data.limited = false;
    if (data.sEnd <= data.sStart)
        return kJobDone;
    LCutListAudio& list = *data.list;
    const uint32_t measures = LLoudnessMeter::kIntegrated | LLoudnessMeter::kTruePeak;
    // Passes: the first measurement (unless given), up to kMaxPasses trials of
    // the limited chain, and the writing.
    const double passes = (data.haveMeasured ? 0 : 1) + kMaxPasses + 1;
    double pass = 0;
    dialog.SetText("Normalizing loudness", 0);
    dialog.SetText("Please wait...", 1);

    if (!data.haveMeasured) {
        LLoudnessMeter meter(list.channels, list.sampleRate, measures);
        if (!meter.IsValid()) {
            dialog.Error(meter.Error());
            return kJobFailed;
        }
        const int32_t r = LEfLoudnessScan::Measure(dialog, list.OpenSource(), data.sStart, data.sEnd, meter, 0,
                                                   1 / passes);
        if (r != kJobDone)
            return r;
        data.measured = LEfLoudnessScan::ResultOf(meter);
        pass = 1;
    }
    const double integrated = data.measured.integrated;
    if (!std::isfinite(integrated)) {
        LUiGet().Message(kTooQuietMessage, "Normalize Loudness", LUiButtons::Ok, LUiIcon::Information);
        return kJobDone;
    }

    const double target = data.targetLufs;
    const double ceiling = data.ceilingDbtp - kPeakSafety;
    double gain = target - integrated;
    LEfLoudnessGainMaker maker = FirstGuess(data.targetLufs, data.ceilingDbtp, integrated, data.measured.truePeak);
    data.resultLufs = target;
    data.resultPeak = data.measured.truePeak + gain;
    if (maker.limit != 0) {
        // The limiter's effect on loudness and true peak is known only by
        // measuring: correct gain and limit from what each trial measured.
        double limitDb = data.ceilingDbtp - kFirstMargin;
        // The limiter eats part of every extra decibel: the gain moves by the
        // loudness still missing over the slope the last two trials at the same
        // limit showed, at most kMaxStepDb at a time.
        const double firstGain = gain;
        double slope = 1.0;
        bool havePrevious = false;
        double previousGain = 0, previousLufs = 0, previousLimit = 0;
        for (int32_t trial = 0; trial < kMaxPasses; ++trial) {
            LLoudnessMeter meter(list.channels, list.sampleRate, measures);
            const int32_t r = LEfLoudnessScan::Measure(dialog, maker.MakeSource(list.OpenSource()), data.sStart,
                                                       data.sEnd, meter, pass / passes, (pass + 1) / passes);
            if (r != kJobDone)
                return r;
            pass += 1;
            data.resultLufs = meter.Integrated();
            data.resultPeak = meter.TruePeak();
            const bool peakOk = data.resultPeak <= ceiling;
            const bool loudnessOk = std::fabs(data.resultLufs - target) <= kLoudnessTolerance;
            if ((peakOk && loudnessOk) || trial + 1 == kMaxPasses || !std::isfinite(data.resultLufs))
                break;
            if (havePrevious && previousLimit == limitDb && std::fabs(gain - previousGain) > 0.01)
                slope = std::clamp((data.resultLufs - previousLufs) / (gain - previousGain), 0.0, 1.0);
            // Nearly all of more gain would be limited away: the target cannot
            // be reached under this ceiling, and more trials would only distort.
            if (peakOk && slope < kSaturatedSlope && data.resultLufs < target)
                break;
            havePrevious = true;
            previousGain = gain;
            previousLufs = data.resultLufs;
            previousLimit = limitDb;
            if (!peakOk)
                limitDb -= data.resultPeak - ceiling + kPeakSafety;
            const double step = std::clamp((target - data.resultLufs) / std::max(slope, kSaturatedSlope), -kMaxStepDb,
                                           kMaxStepDb);
            if (gain + step > firstGain + kMaxExtraDb && step > 0) {
                if (gain >= firstGain + kMaxExtraDb && peakOk)
                    break;
                gain = firstGain + kMaxExtraDb;
            } else {
                gain += step;
            }
            maker = {LSRCGain::GainFromDb(gain), LimitOf(limitDb), kQ24Unity};
        }
        // Out of passes with the peak still over: scale the limited sound down,
        // which moves loudness and true peak alike, and let the loudness fall short.
        if (data.resultPeak > ceiling) {
            const double trim = ceiling - kPeakSafety - data.resultPeak;
            maker.trimQ24 = LSRCGain::GainFromDb(trim);
            data.resultLufs += trim;
            data.resultPeak += trim;
        }
        data.limited = true;
        if (data.resultLufs < target - kShortfallToTell) {
            char text[300];
            std::snprintf(text, sizeof text,
                          "The target of %d LUFS cannot be reached under the true-peak ceiling of %d dBTP: the "
                          "sound was brought to %.1f LUFS, as far as the peak limiter can take it.",
                          data.targetLufs, data.ceilingDbtp, data.resultLufs);
            LUiGet().Message(text, "Normalize Loudness", LUiButtons::Ok, LUiIcon::Information);
        }
    }
    data.gainDb = gain;
    dialog.SetProgress(pass / passes);
    LEfSoundProcess::Data write{&list, data.sStart, data.sEnd, &maker, "Normalizing loudness"};
    return LEfSoundProcess::Process(dialog, write);
}
