#include "effects/LEfGenerate.h"

#include "core/LPRSourceToSink.h"

int32_t LEfGenerate(LProgressDialog& dialog, const LSoundSource& source, LCutListAudio& audio, const std::string& text)
{
    audio.Clear();
    audio.sampleRate = source->GetSampleRate();
    audio.channels = source->GetChannels();
    int32_t result;
    {
        // The list takes the new segment when the sink goes, at the end of this block.
        LPRSourceToSink::Data data{text, source, audio.OpenSink(audio.sampleRate, audio.channels)};
        result = LPRSourceToSink::Process(dialog, data);
    }
    if (result != kJobDone)
        audio.Clear();
    return result;
}
