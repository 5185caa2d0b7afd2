#pragma once
#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

#include "core/LEvent.h"

// A child program started with an argument vector (never through a shell), with
// an optional pipe to its standard input. Waiting is an LWaitable, so a job can
// wait for it while its window stays alive. A child still running when the object
// goes is not killed; it is reaped in the background when it ends.
class LProcess : public LWaitable {
public:
    LProcess() = default;
    ~LProcess() override;
    LProcess(const LProcess&) = delete;
    LProcess& operator=(const LProcess&) = delete;

    // Starts argv[0] (searched on PATH when it has no slash) in a process group of
    // its own, so a terminal's Ctrl+C does not reach it. With `pipeStdin` the
    // child reads what WriteStdin sends; otherwise it reads /dev/null. Its standard
    // output and error are the parent's, or /dev/null when `quiet`, or the file
    // `outputPath` when one is given.
    bool Start(const std::vector<std::string>& argv, bool pipeStdin, bool quiet = false,
               const std::string& outputPath = {});
    // Bytes written; fewer when the child has closed its input or died.
    int32_t WriteStdin(const void* data, int32_t bytes);
    void CloseStdin();
    // True once the child has exited (within `ms`).
    bool WaitFor(int32_t ms) override;
    bool Running();
    // Closes the pipe and ends a child that is still running: SIGTERM, then
    // SIGKILL when it has not exited within kStopWaitMs. Returns once the child
    // has exited, unless even SIGKILL did not end it within kStopWaitMs.
    void Stop();
    static constexpr int32_t kStopWaitMs = 3000;
    // The exit status once exited: 0..255, or 128 + signal number.
    int32_t ExitStatus() const { return status_; }
    pid_t Pid() const { return pid_; }

private:
    pid_t pid_ = -1;
    int stdin_ = -1;
    bool exited_ = false;
    int32_t status_ = -1;
};

// Splits a command line into arguments with the quoting rules of the Windows C
// runtime: blanks separate, double quotes group, a backslash escapes a quote.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);
// `text` as one quoted argument that SplitCommandLine gives back unchanged,
// whatever blanks, quotes or backslashes it holds.
std::string QuoteArgument(const std::string& text);
