#include "core/LPRSourceToSink.h"

#include <vector>

#include "core/SampleConvert.h"
#include "core/LSourceProcessor.h"

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

    source = LSPConvChannels(sink->GetChannels()).OpenSource(source);
    source = LSPConvRate(sink->GetSampleRate()).OpenSource(source);
    source = LSPPeakLimit(kFullScale16).OpenSource(source);

    double total = double(source->GetLength());
    if (total == 0.0)
        total = 1.0;

    std::vector<int32_t> block(size_t(kBlockFrames) * source->GetChannels());
    for (;;) {
        if (dialog.IsCancelled())
            return kJobCancelled;
        source->Read(block.data(), kBlockFrames);
        int32_t position = source->GetPosition();
        int32_t length = source->GetLength();
        if (position >= length) {
            int64_t valid = int64_t(kBlockFrames) - (int64_t(position) - length);
            if (valid > 0 && valid <= kBlockFrames)
                sink->Write(block.data(), int32_t(valid));
            return sink->IsError() ? kJobFailed : kJobDone;
        }
        sink->Write(block.data(), kBlockFrames);
        if (sink->IsError())
            return kJobFailed;
        dialog.SetProgress(double(position) / total);
    }
}
