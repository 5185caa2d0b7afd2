#include "edit/LCutListAudioLoadSource.h"

#include <cstring>

#include "core/LPRSourceToSink.h"
#include "edit/LAudioCutTank.h"

int32_t LCutListAudioLoadSource::Process(LProgressDialog& dialog, Data& data)
{
    LPRSourceToSink::Data pump{data.text, data.source,
                               data.destination->OpenSink(data.source->GetSampleRate(), data.source->GetChannels())};
    int32_t result = LPRSourceToSink::Process(dialog, pump);
    // A tank that cannot be written (a full disk, a file-size limit) is the
    // system's fault, not the file's: say so, with the system's reason.
    if (result == kJobFailed && pump.sink && pump.sink->GetSystemError() != 0)
        dialog.Error("Unable to store the audio in the working folder \"" + LAudioCutTank::Get().GetWorkingFolder() +
                     "\".\r\n\r\n" + std::strerror(pump.sink->GetSystemError()) + ".");
    pump.sink.Reset();
    return result;
}
