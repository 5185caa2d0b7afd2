#include "edit/LCutListAudioLoadSource.h"

#include "core/LPRSourceToSink.h"

int32_t LCutListAudioLoadSource::Process(LProgressDialog& dialog, Data& data)
{
    LPRSourceToSink::Data pump{data.text, data.source,
                               data.destination->OpenSink(data.source->GetSampleRate(), data.source->GetChannels())};
    int32_t result = LPRSourceToSink::Process(dialog, pump);
    pump.sink.Reset();
    return result;
}
