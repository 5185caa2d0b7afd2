#include "formats/LKVSaveToSink.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "core/LFile.h"
#include "core/LPRSourceToSink.h"
#include "formats/LGenSink.h"
#include "formats/LGenSource.h"
#include "formats/LPipe16Sink.h"

namespace {

std::string TempNameBeside(const std::string& target)
{
    std::string folder = GetFolderFromPath(target);
    std::string name = ".kelvane-" + std::to_string(getpid()) + "-" + GetFileFromPath(target);
    return folder.empty() ? name : FilePathCat(folder, name);
}

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

// Why the encoder failed: the last lines it printed, else how it ended.
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

    const std::string temp = TempNameBeside(data.path);
    LPRSourceToSink::Data pump{"Saving file...", source, LGenSinkOpenSink(temp, audio.sampleRate, audio.channels,
                                                                            data.waveFormat ? &*data.waveFormat : nullptr)};
    if (!pump.sink || pump.sink->IsError()) {
        const std::string reason = SystemReason(pump.sink ? pump.sink->GetSystemError() : 0);
        pump.sink.Reset();
        ::unlink(temp.c_str());
        return CannotCreate(dialog, data.path, reason);
    }
    int32_t result = LPRSourceToSink::Process(dialog, pump);
    std::string detail;
    LPipe16Sink* encoder = LPipe16Sink::Of(pump.sink);
    if (result == kJobDone) {
        if (encoder)
            result = encoder->Finish(dialog);
        else if (pump.sink->IsError())
            result = kJobFailed;
    }
    // An encoder that a Ctrl+C reached as well is part of the cancel, not a failure.
    if (result == kJobFailed && dialog.IsCancelled())
        result = kJobCancelled;
    if (result != kJobDone && encoder) {
        // Stopped before its output is removed, so that it cannot write it again;
        // this also collects how it ended.
        encoder->Stop();
        if (result == kJobFailed)
            detail = EncoderFailure(*encoder);
    } else if (result == kJobFailed) {
        detail = SystemReason(pump.sink->GetSystemError());
    }
    pump.sink.Reset();  // completes the file
    if (result == kJobDone) {
        // Keep the permissions of the file being replaced.
        struct stat old;
        if (::stat(data.path.c_str(), &old) == 0)
            ::chmod(temp.c_str(), old.st_mode & 07777);
        if (::rename(temp.c_str(), data.path.c_str()) == 0)
            return kJobDone;
        detail = SystemReason(errno);
        result = kJobFailed;
    }
    ::unlink(temp.c_str());
    if (result == kJobFailed)
        return CannotCreate(dialog, data.path, detail);
    return result;
}
