#include "formats/LKVSaveToSink.h"

#include <cstdio>
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
    dialog.Error("Unable to create file \"" + path + "\"for saving." + detail);
    return kJobFailed;
}

} // namespace

int32_t LKVSaveToSink::Process(LProgressDialog& dialog, Data& data)
{
    dialog.SetText("Saving file...", 0);
    const LCutListAudio& audio = *data.audio;
    LSoundSource source = audio.OpenSource();
    const std::string ext = LGenExtension(data.path);
    if (!LGenSinkIsSupported(ext))
        return CannotCreate(dialog, data.path);
    if (data.askOptions && !LGenSinkCheckSettings(ext, audio.sampleRate, audio.channels))
        return kJobFailed;

    const std::string temp = TempNameBeside(data.path);
    LPRSourceToSink::Data pump{"Saving file...", source, LGenSinkOpenSink(temp, audio.sampleRate, audio.channels)};
    if (!pump.sink || pump.sink->IsError()) {
        pump.sink.Reset();
        ::unlink(temp.c_str());
        return CannotCreate(dialog, data.path);
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
    if (result == kJobFailed && encoder) {
        std::string said = encoder->EncoderOutput();
        if (!said.empty())
            detail = "\r\n\r\nThe encoder said:\r\n" + said;
    }
    pump.sink.Reset();  // completes the file
    if (result == kJobDone) {
        // Keep the permissions of the file being replaced.
        struct stat old;
        if (::stat(data.path.c_str(), &old) == 0)
            ::chmod(temp.c_str(), old.st_mode & 07777);
        if (::rename(temp.c_str(), data.path.c_str()) == 0)
            return kJobDone;
        result = kJobFailed;
    }
    ::unlink(temp.c_str());
    if (result == kJobFailed)
        return CannotCreate(dialog, data.path, detail);
    return result;
}
