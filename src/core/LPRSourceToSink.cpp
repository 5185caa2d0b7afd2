#include "core/LPRSourceToSink.h"

#include <vector>

#include "core/SampleConvert.h"
#include "core/LSourceProcessor.h"

LSoundSource LPRSourceToSink::Adapt(const LSoundSource& source, int32_t rate, uint8_t channels)
{
    LSoundSource adapted = LSPConvChannels(channels).OpenSource(source);
    adapted = LSPConvRate(rate).OpenSource(adapted);
    return LSPPeakLimit(kFullScale16).OpenSource(adapted);
}

int32_t LPRSourceToSink::NextBlock(LSoundSourceBase& source, int32_t* block, bool& last)
{
    source.Read(block, kBlockFrames);
    const int32_t position = source.GetPosition();
    const int32_t length = source.GetLength();
    last = position >= length;
    if (!last)
        return kBlockFrames;
    // The length is taken again after every block: a compressed reader's estimate
    // becomes exact when it reaches the end.
    const int64_t valid = int64_t(kBlockFrames) - (int64_t(position) - length);
    return valid > 0 && valid <= kBlockFrames ? int32_t(valid) : 0;
}

int32_t LPRSourceToSink::Process(LProgressDialog& dialog, Data& data)
{
    dialog.SetText(data.text, 0);
    dialog.SetText("Please wait...", 1);
    dialog.SetProgress(0.0);

    LSoundSource source = data.source;
    LSoundSink sink = data.sink;
    if (source->GetError() != kSrcGood)
        return kJobFailed;
    if (!sink || sink->IsError())
        return kJobFailed;

    source = Adapt(source, sink->GetSampleRate(), sink->GetChannels());

    double total = double(source->GetLength());
    if (total == 0.0)
        total = 1.0;

    std::vector<int32_t> block(size_t(kBlockFrames) * source->GetChannels());
    for (;;) {
        if (dialog.IsCancelled())
            return kJobCancelled;
        bool last = false;
        const int32_t frames = NextBlock(*source, block.data(), last);
        if (frames > 0)
            sink->Write(block.data(), frames);
        if (last)
            return sink->IsError() ? kJobFailed : kJobDone;
        if (sink->IsError())
            return kJobFailed;
        dialog.SetProgress(double(source->GetPosition()) / total);
    }
}
