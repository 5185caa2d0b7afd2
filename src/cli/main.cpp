#include <cstdio>
#include <string>
#include <vector>

#include "cli/BatchOptions.h"
#include "cli/BatchRun.h"
#include "core/LProcess.h"
#include "core/LVersion.h"

int main(int argc, char** argv)
{
    // A write past the file-size limit (ulimit -f) then fails with EFBIG and is
    // reported as a failed write, and one to an encoder that quit with EPIPE,
    // instead of killing the program without a word.
    LIgnoreWriteSignals();
    std::vector<std::string> args(argv + 1, argv + argc);
    BatchOptions options;
    std::string error;
    if (!ParseBatchOptions(args, options, error)) {
        std::fprintf(stderr, "kelvane-batch: %s\n\n%s", error.c_str(), BatchUsage());
        return kExitFailed;
    }
    if (options.help) {
        std::fputs(BatchUsage(), stdout);
        return kExitDone;
    }
    if (options.version) {
        std::printf("kelvane-batch %s\n", kKelvaneVersion);
        return kExitDone;
    }
    return RunBatch(options);
}
