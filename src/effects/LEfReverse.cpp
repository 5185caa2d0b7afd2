#include "effects/LEfReverse.h"

#include <algorithm>
#include <vector>

namespace {

// Frames of `in` into `out` last first; mono and stereo get loops of their own
// so that the copy is not a call per frame.
void ReverseFrames(const int32_t* in, int32_t* out, int32_t frames, size_t channels)
{
    if (channels == 1) {
        std::reverse_copy(in, in + frames, out);
    } else if (channels == 2) {
        for (int32_t f = 0, g = frames - 1; f < frames; ++f, --g) {
            out[2 * f] = in[2 * g];
            out[2 * f + 1] = in[2 * g + 1];
        }
    } else {
        for (int32_t f = 0; f < frames; ++f)
            std::copy_n(in + size_t(frames - 1 - f) * channels, channels, out + size_t(f) * channels);
    }
}

} // namespace

int32_t LEfReverse::LReverseSoundProcess(LProgressDialog& dialog, LSoundSource& source, LSoundSink& sink,
                                         int32_t start, int32_t end)
{
    constexpr int32_t kBlock = 8192;
    const size_t channels = source->GetChannels();
    const double length = std::max(1.0, double(int64_t(end) - start));
    std::vector<int32_t> block(size_t(kBlock) * channels), reversed(block.size());
    for (int32_t to = end; to > start;) {
        // Reversing a long selection takes a while, so it can be cancelled too.
        if (dialog.IsCancelled())
            return kJobCancelled;
        const int32_t from = int32_t(std::max<int64_t>(start, int64_t(to) - kBlock));
        const int32_t n = to - from;
        source->Seek(from);
        source->Read(block.data(), n);
        ReverseFrames(block.data(), reversed.data(), n, channels);
        sink->Write(reversed.data(), n);
        if (sink->IsError())
            return kJobFailed;
        to = from;
        dialog.SetProgress((double(end) - to) / length);
    }
    return kJobDone;
}

int32_t LEfReverse::Process(LProgressDialog& dialog, Data& data)
{
    if (data.sEnd <= data.sStart)
        return kJobDone;
    dialog.SetText("Reversing Sound", 0);
    dialog.SetText("Please wait...", 1);
    LCutListAudio& list = *data.list;
    LSoundSource source = list.OpenSource();
    LCutListAudio reversed;
    LSoundSink sink = reversed.OpenSink(list.sampleRate, list.channels);
    if (source->GetError() != kSrcGood || !sink || sink->IsError())
        return kJobFailed;
    const int32_t result = LReverseSoundProcess(dialog, source, sink, data.sStart, data.sEnd);
    sink.Reset();
    if (result == kJobDone)
        list.EfReplace(data.sStart, data.sEnd, reversed);
    return result;
}
