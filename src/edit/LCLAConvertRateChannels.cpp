#include "edit/LCLAConvertRateChannels.h"

#include "core/LSourceProcessor.h"
#include "edit/LCutListAudioLoadSource.h"

int32_t LCLAConvertRateChannels::Process(LProgressDialog& dialog, Data& data)
{
    LCutListAudio& list = *data.list;
    if (list.sampleRate == data.sampleRate && list.channels == data.channels)
        return kJobDone;
    LSoundSource source = list.OpenSource();
    // Resample before adding a channel, so that fewer channels are resampled.
    if (list.sampleRate != data.sampleRate && data.channels > list.channels)
        source = LSPConvRate(data.sampleRate).OpenSource(source);
    if (list.channels != data.channels)
        source = LSPConvChannels(data.channels).OpenSource(source);
    if (source->GetSampleRate() != data.sampleRate)
        source = LSPConvRate(data.sampleRate).OpenSource(source);
    // Converted into a list of its own, which replaces the original only when
    // complete: a cancel or a failure leaves the document's audio as it was.
    LCutListAudio converted;
    LCutListAudioLoadSource::Data load{"Converting rate or channels...", &converted, source};
    int32_t result = LCutListAudioLoadSource::Process(dialog, load);
    if (result == kJobDone)
        list = std::move(converted);
    return result;
}
