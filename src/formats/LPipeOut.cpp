#include "formats/LPipeOut.h"

#include <algorithm>
#include <cctype>
#include <unistd.h>
#include <vector>

#include "core/LFile.h"
#include "core/LProgressDialog.h"

namespace {

// How much of the end of the log is read for a failure message.
constexpr int64_t kLogTailBytes = 4096;
constexpr size_t kMostErrorLines = 4;

std::string Lower(std::string text)
{
    for (char& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// "WARNING: …", "oggenc: Warning: …": said, but not the reason for a failure.
bool IsWarning(const std::string& lower)
{
    size_t at = 0;
    for (int prefixes = 0; prefixes < 3; ++prefixes) {
        if (lower.compare(at, 7, "warning") == 0)
            return true;
        const size_t colon = lower.find(": ", at);
        if (colon == std::string::npos)
            return false;
        at = colon + 2;
    }
    return false;
}

bool IsErrorLine(const std::string& line)
{
    const std::string lower = Lower(line);
    if (IsWarning(lower))
        return false;
    if (lower.rfind("kelvane-", 0) == 0)
        return true;
    for (const char* word : {"error", "fail", "cannot", "can't", "unable", "not found", "no such", "denied",
                             "no space", "too large", "invalid", "unsupported", "refus"})
        if (lower.find(word) != std::string::npos)
            return true;
    return false;
}

} // namespace

std::string LEncoderErrorLines(const std::string& output)
{
    std::string text = output;
    // Progress lines end in carriage returns.
    std::replace(text.begin(), text.end(), '\r', '\n');
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        while (!line.empty() && (line.back() == ' ' || line.back() == '\t'))
            line.pop_back();
        if (!line.empty() && IsErrorLine(line))
            lines.push_back(line);
        start = end + 1;
    }
    if (lines.size() > kMostErrorLines)
        lines.erase(lines.begin(), lines.end() - std::ptrdiff_t(kMostErrorLines));
    std::string joined;
    for (const std::string& line : lines)
        joined += (joined.empty() ? "" : "\n") + line;
    return joined;
}

LPipeOut::~LPipeOut()
{
    Close();
    if (logFd_ >= 0) {
        ::unlink(logPath_.c_str());
        ::close(logFd_);
    }
}

bool LPipeOut::Open(const std::string& commandLine)
{
    if (started_)
        return false;
    std::vector<std::string> argv = SplitCommandLine(commandLine);
    if (argv.empty() || argv[0].empty())
        return false;
    // The child shares the log's descriptor, so its lock is held as long as either
    // of us lives; a later run removes a log whose lock is free.
    logFd_ = CreateLockedTempFile(GetTempFolder(), "kelvane-encoder-", logPath_);
    // A log that is not empty is known to have been locked by its writer: once
    // the lock is free it can go at once (LTempOutput::RemoveAbandoned).
    static constexpr char kHeading[] = "Kelvane encoder log\n";
    if (logFd_ >= 0)
        WriteAll(logFd_, kHeading, int32_t(sizeof kHeading - 1));
    started_ = process_.Start(argv, true, logFd_ < 0, logFd_);
    return started_;
}

std::string LPipeOut::Output() const
{
    LFile file;
    if (logPath_.empty() || !file.Open(logPath_, LFile::Mode::Read))
        return {};
    const int64_t size = file.GetFileSizeBytes();
    const int64_t from = std::max<int64_t>(size - kLogTailBytes, 0);
    std::string text(size_t(size - from), '\0');
    text.resize(size_t(std::max(file.ReadAt(from, text.data(), int32_t(text.size())), 0)));
    return LEncoderErrorLines(text);
}

void LPipeOut::Stop()
{
    if (!started_)
        return;
    closed_ = true;
    process_.Stop();
    exited_ = process_.WaitFor(0);
}

int32_t LPipeOut::Write(const void* data, int32_t bytes, const std::function<bool()>& cancelled)
{
    if (!started_ || closed_)
        return 0;
    return process_.WriteStdin(data, bytes, cancelled);
}

void LPipeOut::Close()
{
    if (!started_ || closed_)
        return;
    closed_ = true;
    process_.CloseStdin();
    exited_ = process_.WaitFor(kCloseWaitMs);
}

int32_t LPipeOut::Finish(LProgressDialog* job)
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
        const int32_t waited = job ? job->WaitForObject(process_, 500) : process_.WaitFor(500) ? 0 : 2;
        if (waited == 0)
            exited_ = true;
        else if (waited == 1)
            return kJobCancelled;
    }
    return process_.ExitStatus() == 0 ? kJobDone : kJobFailed;
}
