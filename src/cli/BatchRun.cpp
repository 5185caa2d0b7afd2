#include "cli/BatchRun.h"

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

#include "core/LConsoleProgress.h"
#include "core/LFile.h"
#include "core/LPRSourceToSink.h"
#include "core/LSoundTime.h"
#include "core/LUi.h"
#include "formats/LWaveFile.h"

namespace {

std::string OpenFailureText(uint8_t error, const std::string& path)
{
    switch (error) {
    case kSrcInvalid: return "Cannot open the file \"" + path + "\" because it is corrupt.";
    case kSrcCannotOpen: return "Cannot open the file \"" + path + "\". Check it exists and you have read access.";
    case kSrcNoCodec:
        return "Cannot open the file \"" + path +
               "\" because the required ACM codec is not installed on this PC.\r\n\r\n"
               "Open the file with Windows Media Player to auto-install the codec then reattempt to load it.";
    default: return "Cannot open the file \"" + path + "\".";
    }
}

std::string TempNameFor(const std::string& target)
{
    std::string folder = GetFolderFromPath(target);
    std::string name = ".kelvane-" + std::to_string(getpid()) + "-" + GetFileFromPath(target);
    return folder.empty() ? name : FilePathCat(folder, name);
}

const char* Outcome(int32_t result)
{
    return result == kJobDone ? "done" : result == kJobCancelled ? "cancelled" : "failed";
}

} // namespace

int32_t ConvertFile(const std::string& source, const std::string& target, const BatchOptions& options)
{
    LWaveFile::Layout layout;
    LSoundSource input = LWaveFile::OpenSource(source);
    if (input->GetError() != kSrcGood || !LWaveFile::ReadLayout(source, layout)) {
        LUiGet().Message(OpenFailureText(input->GetError(), source), "Error", LUiButtons::Ok, LUiIcon::Stop);
        return kJobFailed;
    }
    int32_t rate = options.rate ? options.rate : input->GetSampleRate();
    uint8_t channels = uint8_t(options.channels ? options.channels : input->GetChannels());
    int32_t bits = layout.format.BitsPerSample() <= 8 ? 8 : 16;

    std::string temp = TempNameFor(target);
    LPRSourceToSink::Data data{"Converting " + GetFileFromPath(source), input,
                               LWaveFile::OpenSinkPCM(temp, rate, 0, bits, channels)};
    int32_t result = RunJob("Kelvane", [&](LProgressDialog& dialog) { return LPRSourceToSink::Process(dialog, data); });
    bool sinkFailed = data.sink && data.sink->IsError();
    data.sink.Reset();  // completes the file
    data.source.Reset();
    input.Reset();

    if (result == kJobDone && !sinkFailed && ::rename(temp.c_str(), target.c_str()) == 0)
        return kJobDone;
    ::unlink(temp.c_str());
    if (result == kJobDone || result == kJobFailed) {
        LUiGet().Message("Cannot write the file \"" + target + "\". Check the folder exists, you have write access and the disk is not full.",
                         "Error", LUiButtons::Ok, LUiIcon::Stop);
        return kJobFailed;
    }
    return result;
}

bool DescribeFile(const std::string& path, std::string& line)
{
    LSoundSource source = LWaveFile::OpenSource(path);
    LWaveFile::Layout layout;
    if (source->GetError() != kSrcGood || !LWaveFile::ReadLayout(path, layout)) {
        line = OpenFailureText(source->GetError(), path);
        return false;
    }
    LSoundTime length;
    length.SetSamples(source->GetLength(), source->GetSampleRate());
    char text[512];
    std::snprintf(text, sizeof text, "%s: %d Hz, %d channel%s, %s (%d frames), PCM %d-bit", path.c_str(),
                  source->GetSampleRate(), source->GetChannels(), source->GetChannels() == 1 ? "" : "s",
                  length.GetTextCs().c_str(), source->GetLength(), layout.format.BitsPerSample());
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
