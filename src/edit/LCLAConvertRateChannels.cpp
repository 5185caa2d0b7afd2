#include "edit/LCLAConvertRateChannels.h"

#include "core/LSourceProcessor.h"
#include "edit/LCutListAudioLoadSource.h"

LSoundSource LCLAConvertRateChannels::Convert(const LSoundSource& input, int32_t sampleRate, uint8_t channels,
                                              LRateQuality quality)
{
    LSoundSource source = input;
    // Resample before adding a channel, so that fewer channels are resampled.
    if (input->GetSampleRate() != sampleRate && channels > input->GetChannels())
        source = LSPConvRate(sampleRate, quality).OpenSource(source);
    if (input->GetChannels() != channels)
        source = LSPConvChannels(channels).OpenSource(source);
    if (source->GetSampleRate() != sampleRate)
        source = LSPConvRate(sampleRate, quality).OpenSource(source);
    return source;
}

int32_t LCLAConvertRateChannels::Process(LProgressDialog& dialog, Data& data)
{
    LCutListAudio& list = *data.list;
    if (list.sampleRate == data.sampleRate && list.channels == data.channels)
        return kJobDone;
    LSoundSource source = Convert(list.OpenSource(), data.sampleRate, data.channels, data.quality);
    // Converted into a list of its own, which replaces the original only when
    // complete: a cancel or a failure leaves the document's audio as it was.
    LCutListAudio converted;
    LCutListAudioLoadSource::Data load{"Converting rate or channels...", &converted, source};
    int32_t result = LCutListAudioLoadSource::Process(dialog, load);
    if (result == kJobDone)
        list = std::move(converted);
    return result;
}
