#include "cli/BatchRun.h"

#include <cctype>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

#include "core/LConsoleProgress.h"
#include "core/LSettings.h"
#include "core/LFile.h"
#include "core/LPRSourceToSink.h"
#include "core/LSoundTime.h"
#include "core/LUi.h"
#include "edit/LCLAConvertRateChannels.h"
#include "formats/KVLoadFile.h"
#include "formats/LKVSaveToSink.h"
#include "formats/LGenSource.h"
#include "formats/LWaveFile.h"

namespace {

const char* Outcome(int32_t result)
{
    return result == kJobDone ? "done" : result == kJobCancelled ? "cancelled" : "failed";
}

} // namespace

int32_t ConvertFile(const std::string& source, const std::string& target, const BatchOptions& options)
{
    LCutListAudio audio;
    uint8_t askOnce = 1;
    KVLoadFile::Data load{source, &audio, &askOnce};
    int32_t result = RunJob("Loading Audio File Source", [&](LProgressDialog& d) { return KVLoadFile::Process(d, load); });
    if (result != kJobDone)
        return result;

    for (const LKVCommand& command : options.commands) {
        result = LKVBatchCatalogue::Apply(command, audio);
        if (result != kJobDone)
            return result;
    }

    if (options.rate || options.channels) {
        LCLAConvertRateChannels::Data convert{&audio, options.rate ? options.rate : audio.sampleRate,
                                              uint8_t(options.channels ? options.channels : audio.channels)};
        result = RunJob("Convert", [&](LProgressDialog& d) { return LCLAConvertRateChannels::Process(d, convert); });
        if (result != kJobDone)
            return result;
    }

    // Encoders that take their rate and channels from their settings get the
    // document's for this file, as the editor's options step would give them,
    // unless the user fixed them with --set: a stereo file must not come out mono.
    std::vector<std::pair<std::string, std::string>> temporary;
    std::string ext = LGenExtension(target);
    for (char& c : ext)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    const char* section = ext == ".ogg" ? "OggEncoder" : ext == ".flac" ? "FlacEncoder"
                          : ext == ".aac" || ext == ".m4a"             ? "AACEncoder"
                                                                       : nullptr;
    if (section) {
        for (auto [name, value] : {std::pair<const char*, int32_t>{"SampleRate", audio.sampleRate},
                                   std::pair<const char*, int32_t>{"Channels", audio.channels}}) {
            if (!LSettings::HasOverride(section, name)) {
                LSettings::SetOverride(section, name, std::to_string(value));
                temporary.emplace_back(section, name);
            }
        }
    }
    LKVSaveToSink::Data save{&audio, target, false};
    int32_t saved = RunJob("Saving", [&](LProgressDialog& d) { return LKVSaveToSink::Process(d, save); });
    for (const auto& [sec, name] : temporary)
        LSettings::RemoveOverride(sec, name);
    return saved;
}

bool DescribeFile(const std::string& path, std::string& line)
{
    LSoundSource source;
    uint8_t askOnce = 0;
    if (LGenSourceOpen(source, path, &askOnce) != 0 || source->GetError() != kSrcGood) {
        line = source->GetError() == kSrcCannotOpen ? LGenReadAccessMessage(path) : LGenCorruptMessage(path);
        return false;
    }
    LWaveFile::Layout layout;
    std::string format = LWaveFile::ReadLayout(path, layout)
                             ? "PCM " + std::to_string(layout.format.BitsPerSample()) + "-bit"
                             : std::string("compressed");
    LSoundTime length;
    length.SetSamples(source->GetLength(), source->GetSampleRate());
    char text[512];
    std::snprintf(text, sizeof text, "%s: %d Hz, %d channel%s, %s (%d frames), %s", path.c_str(),
                  source->GetSampleRate(), source->GetChannels(), source->GetChannels() == 1 ? "" : "s",
                  length.GetTextCs().c_str(), source->GetLength(), format.c_str());
    line = text;
    return true;
}

int RunBatch(const BatchOptions& options)
{
    if (options.info) {
        int status = kExitDone;
        for (const std::string& file : options.files) {
            std::string line;
            if (DescribeFile(file, line)) {
                std::printf("%s\n", line.c_str());
            } else {
                std::fprintf(stderr, "%s\n", line.c_str());
                status = kExitFailed;
            }
        }
        return status;
    }
    if (!options.outputDir.empty() && !FolderExists(options.outputDir) && !CreateFolders(options.outputDir)) {
        std::fprintf(stderr, "kelvane-batch: cannot create the folder %s\n", options.outputDir.c_str());
        return kExitFailed;
    }
    LConsoleProgress progress(options.quiet);
    LProgressSetBackend(&progress);
    int status = kExitDone;
    for (const std::string& file : options.files) {
        std::string target = options.inPlace ? file : FilePathCat(options.outputDir, GetFileFromPath(file));
        if (!options.format.empty())
            target = ApplyNewFileExtension(target, options.format);
        int32_t result = ConvertFile(file, target, options);
        if (result != kJobDone || !options.quiet)
            std::fprintf(stderr, "%s -> %s: %s\n", file.c_str(), target.c_str(), Outcome(result));
        if (result == kJobCancelled) {
            status = kExitCancelled;
            break;
        }
        if (result != kJobDone)
            status = kExitFailed;
    }
    LProgressSetBackend(nullptr);
    return status;
}
