#include "formats/LPipeOut.h"

#include <algorithm>
#include <cstdlib>
#include <unistd.h>
#include <vector>

#include "core/LFile.h"
#include "core/LProgressDialog.h"

LPipeOut::~LPipeOut()
{
    Close();
    if (!outputPath_.empty())
        ::unlink(outputPath_.c_str());
}

bool LPipeOut::Open(const std::string& commandLine)
{
    if (started_)
        return false;
    std::vector<std::string> argv = SplitCommandLine(commandLine);
    if (argv.empty() || argv[0].empty())
        return false;
    std::string log = FilePathCat(GetTempFolder(), "kelvane-encoder-XXXXXX");
    int fd = mkstemp(log.data());
    if (fd >= 0) {
        ::close(fd);
        outputPath_ = log;
    }
    started_ = process_.Start(argv, true, false, outputPath_);
    return started_;
}

std::string LPipeOut::Output() const
{
    LFile file;
    if (outputPath_.empty() || !file.Open(outputPath_, LFile::Mode::Read))
        return {};
    int64_t size = file.GetFileSizeBytes();
    int64_t from = std::max<int64_t>(size - 600, 0);
    std::string text(size_t(size - from), '\0');
    text.resize(size_t(std::max(file.ReadAt(from, text.data(), int32_t(text.size())), 0)));
    // Progress lines end in carriage returns; keep the last few lines only.
    for (char& c : text)
        if (c == '\r')
            c = '\n';
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    // The start of the fourth line from the end (the whole text when it has fewer).
    size_t start = text.size();
    for (int lines = 0; lines < 4 && start > 0; ++lines) {
        size_t newline = text.rfind('\n', start - 1);
        start = newline == std::string::npos ? 0 : newline;
    }
    if (start < text.size() && text[start] == '\n')
        ++start;
    return text.substr(start);
}

void LPipeOut::Stop()
{
    if (!started_)
        return;
    closed_ = true;
    process_.Stop();
    exited_ = process_.WaitFor(0);
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
