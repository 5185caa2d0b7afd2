#include "cd/LCDBurnToFolder.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/LFile.h"
#include "core/LPRSourceToSink.h"
#include "core/LProgressDialog.h"
#include "formats/LWaveFile.h"

namespace {

// CUE sheets quote with double quotes and know no escape.
std::string Quoted(const std::string& text)
{
    std::string out = "\"";
    for (char c : text)
        if (c != '"' && c != '\r' && c != '\n')
            out += c;
    return out + "\"";
}

} // namespace

std::string LCDBurnToFolder::TrackFileName(size_t index)
{
    char name[32];
    std::snprintf(name, sizeof name, "Track %02d.wav", int(index + 1));
    return name;
}

std::string LCDBurnToFolder::CueSheet(const LCDBurnAudioSCSI::Data& data)
{
    std::string cue = "REM Audio CD tracks saved by Kelvane. Burn them with any CD writing program that takes a\n"
                      "REM CUE sheet (cdrdao write disc.cue, k3b, brasero), or the WAV files alone\n"
                      "REM (wodim -pad -audio Track*.wav).\n";
    if (!data.albumTitle.empty())
        cue += "TITLE " + Quoted(data.albumTitle) + "\n";
    for (size_t i = 0; i < data.tracks.size(); ++i) {
        char number[8];
        std::snprintf(number, sizeof number, "%02d", int(i + 1));
        cue += "FILE " + Quoted(TrackFileName(i)) + " WAVE\n";
        cue += std::string("  TRACK ") + number + " AUDIO\n";
        if (!data.tracks[i].title.empty())
            cue += "    TITLE " + Quoted(data.tracks[i].title) + "\n";
        if (i > 0 && !data.settings.discAtOnce)
            cue += "    PREGAP 00:02:00\n";
        cue += "    INDEX 01 00:00:00\n";
    }
    return cue;
}

int32_t LCDBurnToFolder::Process(LProgressDialog& dialog, LCDBurnAudioSCSI::Data& data)
{
    data.message.clear();
    data.report.clear();
    const std::string& folder = data.settings.trackFolder;
    if (data.tracks.empty()) {
        data.message = "There are no tracks to save for a CD.";
        return kJobFailed;
    }
    if (folder.empty() || !CreateFolders(folder)) {
        data.message = "The folder \"" + folder + "\" for the CD's tracks cannot be used" +
                       (folder.empty() ? std::string(": none was chosen.") : ": " + std::string(std::strerror(errno)) + ".");
        return kJobFailed;
    }
    for (size_t i = 0; i < data.tracks.size(); ++i) {
        const std::string path = FilePathCat(folder, TrackFileName(i));
        LPRSourceToSink::Data pump{"Copy Audio Files", LCDBurnAudioSCSI::DiscSource(data.tracks[i].source),
                                   LWaveFile::OpenSinkPCM(path, 44100, 0, 16, 2)};
        if (!pump.sink) {
            data.message = "The track file \"" + path + "\" cannot be created.";
            return kJobFailed;
        }
        dialog.SetText("Copy Audio Files", 0);
        const int32_t r = LPRSourceToSink::Process(dialog, pump);
        const bool sinkFailed = pump.sink->IsError();
        const int32_t systemError = pump.sink->GetSystemError();
        pump.sink.Reset();
        if (r == kJobCancelled)
            return r;
        if (r != kJobDone || sinkFailed) {
            data.message = "The track file \"" + path + "\" could not be written" +
                           (systemError ? ": " + std::string(std::strerror(systemError)) + "." : ".");
            return kJobFailed;
        }
    }
    const std::string cue = CueSheet(data);
    const std::string cuePath = FilePathCat(folder, kCueName);
    if (!WriteFileAtomically(cuePath, cue.data(), cue.size())) {
        data.message = "The CUE sheet \"" + cuePath + "\" could not be written: " + std::strerror(errno) + ".";
        return kJobFailed;
    }
    const size_t n = data.tracks.size();
    data.report = (n == 1 ? std::string("The track was") : "The " + std::to_string(n) + " tracks were") +
                  " saved as WAV files in \"" + folder + "\", with the CUE sheet \"" + kCueName +
                  "\" for a CD writing program to burn.";
    return kJobDone;
}
