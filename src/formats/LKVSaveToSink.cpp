#include "formats/LKVSaveToSink.h"

#include <cerrno>
#include <cstring>

#include "core/LFile.h"
#include "core/LPRSourceToSink.h"
#include "core/LTempOutput.h"
#include "formats/LGenSink.h"
#include "formats/LGenSource.h"
#include "formats/LPipe16Sink.h"

namespace {

int32_t CannotCreate(LProgressDialog& dialog, const std::string& path, const std::string& detail = {})
{
    dialog.Error("Unable to create file \"" + path + "\" for saving." + detail);
    return kJobFailed;
}

// The system's reason for a failed call ("No space left on device"), or nothing.
std::string SystemReason(int32_t error)
{
    return error != 0 ? "\r\n\r\n" + std::string(std::strerror(error)) + "." : std::string();
}

// Why the encoder failed: the errors it printed, else how it ended.
std::string EncoderFailure(const LPipe16Sink& encoder)
{
    std::string said = encoder.EncoderOutput();
    if (!said.empty())
        return "\r\n\r\nThe encoder said:\r\n" + said;
    const int32_t status = encoder.ExitStatus();
    if (status > 128)
        return "\r\n\r\nThe encoder was ended by signal " + std::to_string(status - 128) + " (" +
               strsignal(status - 128) + ").";
    if (status > 0)
        return "\r\n\r\nThe encoder ended with status " + std::to_string(status) + ".";
    return "\r\n\r\nThe encoder stopped reading its input.";
}

} // namespace

int32_t LKVSaveToSink::Process(LProgressDialog& dialog, Data& data)
{
    return Process(dialog, data, data.audio->OpenSource());
}

int32_t LKVSaveToSink::Process(LProgressDialog& dialog, Data& data, const LSoundSource& stream)
{
    dialog.SetText("Saving file...", 0);
    const LCutListAudio& audio = *data.audio;
    LSoundSource source = stream;
    const std::string ext = LGenExtension(data.path);
    if (!LGenSinkIsSupported(ext))
        return CannotCreate(dialog, data.path);
    if (data.askOptions && !LGenSinkCheckSettings(ext, audio.sampleRate, audio.channels))
        return kJobFailed;

    // What saves and encoders killed outright left behind goes first.
    LTempOutput::RemoveAbandoned(GetFolderFromPath(data.path));
    LTempOutput::RemoveAbandoned(GetTempFolder());
    LTempOutput temp;
    if (!temp.Create(data.path))
        return CannotCreate(dialog, data.path, SystemReason(errno));
    LPRSourceToSink::Data pump{"Saving file...", source,
                               LGenSinkOpenSink(temp.Path(), audio.sampleRate, audio.channels,
                                                data.waveFormat ? &*data.waveFormat : nullptr)};
    if (!pump.sink || pump.sink->IsError())
        return CannotCreate(dialog, data.path, SystemReason(pump.sink ? pump.sink->GetSystemError() : 0));
    LPipe16Sink* encoder = LPipe16Sink::Of(pump.sink);
    if (encoder)
        encoder->SetJob(&dialog);

    int32_t result = LPRSourceToSink::Process(dialog, pump);
    if (result == kJobDone)
        result = encoder ? encoder->Finish(dialog) : pump.sink->Finish() ? kJobDone : kJobFailed;
    else if (result == kJobFailed && encoder && encoder->WriteCancelled())
        result = kJobCancelled;  // the user cancelled while the encoder did not read

    // From here on the outcome is decided: a file that is complete is renamed into
    // place and reported done, however late a Cancel comes; one that is not never
    // reaches the target.
    std::string detail;
    if (result != kJobDone && encoder) {
        // Stopped before its output is removed, so that it cannot write it again;
        // this also collects how it ended.
        encoder->Stop();
        if (result == kJobFailed)
            detail = EncoderFailure(*encoder);
    } else if (result == kJobFailed) {
        detail = SystemReason(pump.sink->GetSystemError());
    }
    pump.sink.Reset();
    if (result == kJobDone) {
        if (temp.Commit())
            return kJobDone;
        detail = SystemReason(errno);
        result = kJobFailed;
    }
    temp.Abandon();
    if (result == kJobFailed)
        return CannotCreate(dialog, data.path, detail);
    return result;
}
