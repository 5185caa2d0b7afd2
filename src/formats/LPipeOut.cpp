#include "formats/LPipeOut.h"

#include <vector>

#include "core/LProgressDialog.h"

LPipeOut::~LPipeOut() { Close(); }

bool LPipeOut::Open(const std::string& commandLine)
{
    if (started_)
        return false;
    std::vector<std::string> argv = SplitCommandLine(commandLine);
    if (argv.empty() || argv[0].empty())
        return false;
    started_ = process_.Start(argv, true);
    return started_;
}

int32_t LPipeOut::Write(const void* data, int32_t bytes)
{
    if (!started_ || closed_)
        return 0;
    return process_.WriteStdin(data, bytes);
}

void LPipeOut::Close()
{
    if (!started_ || closed_)
        return;
    closed_ = true;
    process_.CloseStdin();
    exited_ = process_.WaitFor(kCloseWaitMs);
}

int32_t LPipeOut::Finish(LProgressDialog& job)
{
    if (!started_)
        return kJobFailed;
    if (!closed_) {
        closed_ = true;
        process_.CloseStdin();
    }
    // Once its input has ended the encoder only flushes, but a slow one on a
    // long file may still be behind by a full pipe; there is no time limit, only
    // the user's Cancel.
    while (!exited_) {
        int32_t waited = job.WaitForObject(process_, 500);
        if (waited == 0)
            exited_ = true;
        else if (waited == 1)
            return kJobCancelled;
    }
    return process_.ExitStatus() == 0 ? kJobDone : kJobFailed;
}
