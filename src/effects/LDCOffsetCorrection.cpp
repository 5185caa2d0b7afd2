#include "effects/LDCOffsetCorrection.h"

#include <algorithm>

#include "effects/LEfArith.h"

int32_t LDCOffsetCorrection::Process(LProgressDialog& dialog, Data& data)
{
    if (data.sEnd <= data.sStart)
        return kJobDone;
    dialog.SetText("DC Offset Correction", 0);
    dialog.SetText("Please wait...", 1);
    LCutListAudio& list = *data.list;
    LCutListAudio selection;
    list.EfCopy(data.sStart, data.sEnd, selection);
    LSoundSource source = selection.OpenSource();
    LCutListAudio corrected;
    LSoundSink sink = corrected.OpenSink(selection.sampleRate, selection.channels);
    if (source->GetError() != kSrcGood || !sink || sink->IsError() ||
        source->GetChannels() != sink->GetChannels() || source->GetSampleRate() != sink->GetSampleRate())
        return kJobFailed;

    constexpr int32_t kBlock = 8192;
    const size_t channels = source->GetChannels();
    const int32_t length = std::max(source->GetLength(), 1);
    std::vector<int32_t> block(size_t(kBlock) * channels);
    std::vector<double> sums(channels, 0.0);
    for (int32_t pos = 0; pos < length;) {
        if (dialog.IsCancelled())
            return kJobCancelled;
        const int32_t n = std::min(length - pos, kBlock);
        source->Read(block.data(), n);
        for (int32_t f = 0; f < n; ++f)
            for (size_t c = 0; c < channels; ++c)
                sums[c] += block[size_t(f) * channels + c];
        pos += n;
        dialog.SetProgress(double(pos) / length);
    }
    data.offsets.assign(channels, 0);
    for (size_t c = 0; c < channels; ++c)
        data.offsets[c] = int32_t(sums[c] / length);

    source->Seek(0);
    int32_t result = kJobDone;
    for (int32_t pos = 0; pos < length;) {
        if (dialog.IsCancelled()) {
            result = kJobCancelled;
            break;
        }
        const int32_t n = std::min(length - pos, kBlock);
        source->Read(block.data(), n);
        for (int32_t f = 0; f < n; ++f)
            for (size_t c = 0; c < channels; ++c) {
                int32_t& v = block[size_t(f) * channels + c];
                v = EfSaturate32(int64_t(v) - data.offsets[c]);
            }
        sink->Write(block.data(), n);
        if (sink->IsError()) {
            result = kJobFailed;
            break;
        }
        pos += n;
        dialog.SetProgress(double(pos) / length);
    }
    sink.Reset();
    if (result == kJobDone)
        list.EfReplace(data.sStart, data.sEnd, corrected);
    return result;
}
