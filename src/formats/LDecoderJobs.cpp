#include "formats/LDecoderJobs.h"

#include <csignal>
#include <unistd.h>

#include "core/LFile.h"
#include "core/LLockFile.h"
#include "core/LProcess.h"
#include "core/LProgressDialog.h"
#include "formats/LComponents.h"
#include "formats/LDecoderFolder.h"

namespace {

struct Program {
    const char* component;
    const char* text;
    const char* format;  // the command line, %1 program, %2 output, %3 input
};

const Program kPrograms[] = {
    {"aacdec", "Decoding AAC file", "%1 -d  -o %2 %3"},
    {"oggdec", "Decoding Ogg file", "%1 -o %2 %3"},
    {"flacdec", "Decoding FLAC file", "%1 -d -o %2 %3"},
};

// The command line with the program `a`, the output `b` and the input `c`,
// with every argument quoted so that SplitCommandLine gives it back whole.
std::string Fill(std::string format, const std::string& a, const std::string& b, const std::string& c)
{
    for (auto [key, value] : {std::pair{"%1", &a}, std::pair{"%2", &b}, std::pair{"%3", &c}}) {
        size_t at = format.find(key);
        format.replace(at, 2, QuoteArgument(*value));
    }
    return format;
}

} // namespace

int32_t LDecodeWithProgram(LProgressDialog& dialog, const std::string& component, const std::string& input,
                           const std::string& wavPath)
{
    const Program* program = nullptr;
    for (const Program& p : kPrograms)
        if (component == p.component)
            program = &p;
    if (!program)
        return kJobFailed;
    dialog.SetText(program->text, 0);
    dialog.SetText(GetFileFromPath(input), 1);
    std::string path;
    int32_t found = LProcessGetComponentPath(&dialog, component, path);
    if (found != 0)
        return found;
    // The command line is built with quoted names, then split back into arguments:
    // no shell ever sees a file name.
    std::vector<std::string> argv =
        SplitCommandLine(Fill(program->format, path, LChildPathArgument(wavPath), LChildPathArgument(input)));
    LProcess process;
    if (!process.Start(argv, false, true)) {
        dialog.Error("Cannot run the decoder program \"" + path + "\".");
        return kJobFailed;
    }
    double x = 0.97;
    for (int32_t waited = 0; waited < 3600000; waited += 500) {
        switch (dialog.WaitForObject(process, 500)) {
        case 0: return dialog.IsCancelled() ? kJobCancelled : kJobDone;
        case 1: ::kill(process.Pid(), SIGTERM); return kJobCancelled;
        default: break;
        }
        dialog.SetProgress(1.0 - x);
        x *= 0.99;
    }
    ::kill(process.Pid(), SIGTERM);
    return kJobFailed;
}

std::string LPickTempWav(LLockFile& lock)
{
    const std::string folder = LDecoderFolder::Get();
    if (folder.empty())
        return {};
    for (int32_t n = 1; n < 100000; ++n) {
        std::string wav = FilePathCat(folder, "Temp" + std::to_string(n) + ".wav");
        if (!lock.Lock(wav))
            continue;  // another opener is using this number
        // A lock file that could not be made at all reserves nothing: the number
        // is only ours while we hold its lock.
        if (!lock.IsLocked())
            return {};
        // A document may still read an older file of this name; unlinking leaves its
        // open handle intact, so the name can be reused at once.
        ::unlink(wav.c_str());
        return wav;
    }
    return {};
}
