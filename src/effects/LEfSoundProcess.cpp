#include "effects/LEfSoundProcess.h"

#include <algorithm>
#include <vector>

int32_t LEfSoundProcess::Process(LProgressDialog& dialog, Data& data)
{
    if (data.sEnd <= data.sStart)
        return kJobDone;
    dialog.SetText(data.text, 0);
    dialog.SetText("Please wait...", 1);
    LCutListAudio& list = *data.list;
    LSoundSource source = data.maker->MakeSource(list.OpenSource());
    if (source->GetError() != kSrcGood)
        return kJobFailed;
    LCutListAudio processed;
    LSoundSink sink = processed.OpenSink(source->GetSampleRate(), source->GetChannels());
    if (!sink || sink->IsError())
        return kJobFailed;
    if (data.sStart != 0)
        source->Seek(data.sStart);

    const int64_t length = int64_t(data.sEnd) - data.sStart;
    std::vector<int32_t> block(size_t(kBlockFrames) * source->GetChannels());
    int32_t result = kJobDone;
    for (int64_t done = 0; done < length;) {
        if (dialog.IsCancelled()) {
            result = kJobCancelled;
            break;
        }
        const int32_t n = int32_t(std::min<int64_t>(length - done, kBlockFrames));
        source->Read(block.data(), n);
        sink->Write(block.data(), n);
        if (sink->IsError()) {
            result = kJobFailed;
            break;
        }
        done += n;
        dialog.SetProgress(double(done) / double(length));
    }
    sink.Reset();
    if (result == kJobDone)
        list.EfReplace(data.sStart, data.sEnd, processed);
    return result;
}
