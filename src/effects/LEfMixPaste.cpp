#include "effects/LEfMixPaste.h"

#include <algorithm>
#include <vector>

#include "core/LSoundTime.h"
#include "core/Q24.h"
#include "edit/LCLAConvertRateChannels.h"
#include "effects/LEfArith.h"

void LEfMixPaste::Gains(int32_t volume, int32_t pan, int32_t& left, int32_t& right)
{
    pan = std::clamp(pan, 0, 100);
    const int64_t gl = ((100 - pan) * int64_t(volume)) / 50;
    const int64_t gr = (int64_t(volume) * pan) / 50;
    left = EfSaturate32((gl << 24) / 100);
    right = EfSaturate32((gr << 24) / 100);
}

int32_t LEfMixPaste::SelectionEnd(int32_t sStart, const LCutListAudio& mix, int32_t documentRate)
{
    LSoundTime duration;
    duration.SetSamples(mix.GetLength(), mix.sampleRate);
    return EfSaturate32(int64_t(sStart) + duration.GetSamples(documentRate));
}

int32_t LEfMixPaste::Process(LProgressDialog& dialog, Data& data)
{
    if (data.sEnd < data.sStart)
        return kJobDone;
    LCutListAudio& list = *data.list;
    LCutListAudio mix = *data.mix;
    if (mix.sampleRate != list.sampleRate || mix.channels != list.channels) {
        LCLAConvertRateChannels::Data convert{&mix, list.sampleRate, list.channels};
        const int32_t converted = LCLAConvertRateChannels::Process(dialog, convert);
        if (converted != kJobDone)
            return converted;
    }
    dialog.SetText("Mixing", 0);
    dialog.SetText("Please wait...", 1);

    // The document as it will be mixed into: with the silence of mode 0
    // inserted, on a copy until the job has completed.
    LCutListAudio target = list;
    const int32_t mixLength = mix.GetLength();
    const int64_t excess = int64_t(mixLength) - (int64_t(data.sEnd) - data.sStart);
    int64_t end = data.sEnd;
    int64_t fade = 0;
    bool insertSilence = false;
    if (excess < 1) {
        end = int64_t(data.sStart) + mixLength;
    } else if (data.mode == kInsertSilence) {
        insertSilence = true;
        target.EfInsertSilence(data.sEnd, EfSaturate32(excess));
        end += excess;
    } else if (data.mode == kExtendSelection) {
        end += excess;
    } else {
        fade = std::max(data.fadeOutFrames, 0);
    }
    end = std::min<int64_t>(end, INT32_MAX);
    data.mixedEnd = int32_t(end);
    // Nothing to mix into: writing even one frame would lengthen the document.
    const int64_t length = end - data.sStart;
    if (length <= 0)
        return kJobDone;

    int32_t left, right;
    Gains(data.volume, list.channels == 1 ? 50 : data.pan, left, right);
    const size_t channels = list.channels;
    std::vector<int32_t> gains(channels);
    for (size_t c = 0; c < channels; ++c)
        gains[c] = c % 2 == 0 ? left : right;

    LSoundSource document = target.OpenSource();
    LSoundSource other = mix.OpenSource();
    LCutListAudio mixed;
    LSoundSink sink = mixed.OpenSink(list.sampleRate, list.channels);
    if (document->GetError() != kSrcGood || other->GetError() != kSrcGood || !sink || sink->IsError())
        return kJobFailed;
    document->Seek(data.sStart);

    constexpr int32_t kBlock = 8192;
    const int64_t fullEnd = std::max<int64_t>(0, length - fade);
    const int64_t fadeValues = (length - fullEnd) * int64_t(channels);
    std::vector<int64_t> fadeGain(gains.begin(), gains.end()), fadeStep(channels);
    for (size_t c = 0; c < channels; ++c)
        fadeStep[c] = fadeValues > 0 ? gains[c] / fadeValues : 0;
    std::vector<int32_t> a(size_t(kBlock) * channels), b(a.size());
    int32_t result = kJobDone;
    for (int64_t pos = 0; pos < length;) {
        if (dialog.IsCancelled()) {
            result = kJobCancelled;
            break;
        }
        // Blocks never straddle the start of the fade.
        const int64_t stop = pos < fullEnd ? fullEnd : length;
        const int32_t n = int32_t(std::min<int64_t>(stop - pos, kBlock));
        document->Read(a.data(), n);
        other->Read(b.data(), n);
        size_t i = 0;
        if (pos < fullEnd) {
            for (int32_t f = 0; f < n; ++f)
                for (size_t c = 0; c < channels; ++c, ++i)
                    a[i] = EfSaturate32(a[i] + ((int64_t(b[i]) * (gains[c] >> 15)) >> 9));
        } else {
            // Every gain falls by its step after each value, reaching 0 at the end.
            for (int32_t f = 0; f < n; ++f)
                for (size_t c = 0; c < channels; ++c, ++i) {
                    a[i] = EfSaturate32(int64_t(a[i]) + Q24Mul(b[i], int32_t(fadeGain[c])));
                    for (size_t k = 0; k < channels; ++k)
                        fadeGain[k] -= fadeStep[k];
                }
        }
        sink->Write(a.data(), n);
        if (sink->IsError()) {
            result = kJobFailed;
            break;
        }
        pos += n;
        dialog.SetProgress(double(pos) / double(length));
    }
    sink.Reset();
    if (result != kJobDone)
        return result;
    if (insertSilence)
        list.EfInsertSilence(data.sEnd, EfSaturate32(excess));
    list.EfReplace(data.sStart, int32_t(end), mixed);
    return kJobDone;
}
