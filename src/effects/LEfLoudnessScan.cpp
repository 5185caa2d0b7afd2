#include "effects/LEfLoudnessScan.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

#include "formats/LGenSource.h"


namespace {

double Known(double v) { return std::isnan(v) ? -std::numeric_limits<double>::infinity() : v; }

} // namespace

LLoudnessResult LEfLoudnessScan::ResultOf(const LLoudnessMeter& meter)
{
    return {Known(meter.Integrated()), Known(meter.Range()), Known(meter.MaxMomentary()), Known(meter.MaxShortTerm()),
            Known(meter.TruePeak())};
}

int32_t LEfLoudnessScan::Measure(LProgressDialog& dialog, LSoundSource source, int32_t sStart, int32_t sEnd,
                                 LLoudnessMeter& meter, double from, double to)
{
    if (sEnd <= sStart)
        return kJobDone;
    source->Seek(sStart);
    const size_t channels = source->GetChannels();
    const int64_t length = int64_t(sEnd) - sStart;
    std::vector<int32_t> block(size_t(kBlockFrames) * channels);
    for (int64_t done = 0; done < length;) {
        if (dialog.IsCancelled())
            return kJobCancelled;
        const int32_t n = int32_t(std::min<int64_t>(length - done, kBlockFrames));
        source->Read(block.data(), n);
        if (!meter.Add(block.data(), n)) {
            dialog.Error(meter.Error());
            return kJobFailed;
        }
        done += n;
        dialog.SetProgress(from + (to - from) * double(done) / double(length));
    }
    return kJobDone;
}

int32_t LEfLoudnessScan::Process(LProgressDialog& dialog, Data& data)
{
    LLoudnessMeter meter(data.list->channels, data.list->sampleRate, LLoudnessMeter::kAll);
    data.result = ResultOf(meter);
    if (!meter.IsValid()) {
        dialog.Error(meter.Error());
        return kJobFailed;
    }
    dialog.SetText("Measuring loudness", 0);
    dialog.SetText("Please wait...", 1);
    const int32_t result = Measure(dialog, data.list->OpenSource(), data.sStart, data.sEnd, meter, 0.0, 1.0);
    if (result == kJobDone)
        data.result = ResultOf(meter);
    return result;
}

bool LEfLoudnessScan::MeasureFile(const std::string& path, LLoudnessResult& result, std::string& error)
{
    LSoundSource source;
    uint8_t askOnce = 0;
    if (LGenSourceOpen(source, path, &askOnce) != 0 || source->GetError() != kSrcGood) {
        error = LGenOpenFailureMessage(path, source->GetError());
        return false;
    }
    LLoudnessMeter meter(source->GetChannels(), source->GetSampleRate(), LLoudnessMeter::kAll);
    std::vector<int32_t> block(size_t(kBlockFrames) * source->GetChannels());
    // Reads as the save pump does: up to the length, which a reader that only
    // estimates it corrects on the way.
    for (;;) {
        const int64_t left = int64_t(source->GetLength()) - source->GetPosition();
        if (left <= 0)
            break;
        const int32_t n = int32_t(std::min<int64_t>(left, kBlockFrames));
        source->Read(block.data(), n);
        if (!meter.Add(block.data(), n)) {
            error = path + ": " + meter.Error();
            return false;
        }
    }
    if (!meter.IsValid()) {
        error = path + ": " + meter.Error();
        return false;
    }
    result = ResultOf(meter);
    return true;
}

std::string LEfLoudnessScan::Format(double value)
{
    if (!std::isfinite(value))
        return value > 0 ? "inf" : "-inf";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    // A value that rounds to zero from below reads "0.0", not "-0.0".
    return std::string(text) == "-0.0" ? "0.0" : text;
}

std::string LEfLoudnessScan::Summary(const LLoudnessResult& r)
{
    return Format(r.integrated) + " LUFS, LRA " + Format(std::isfinite(r.range) ? r.range : 0.0) + " LU, true peak " +
           Format(r.truePeak) + " dBTP";
}
