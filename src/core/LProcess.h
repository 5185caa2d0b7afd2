#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

#include "core/LEvent.h"

// A child program started with an argument vector (never through a shell), with
// an optional pipe to its standard input. Waiting is an LWaitable, so a job can
// wait for it while its window stays alive. A child still running when the object
// goes is not killed; it is reaped in the background when it ends.
//
// Every child dies with the thread that started it (PR_SET_PDEATHSIG, SIGKILL):
// a parent killed outright leaves no encoder or decoder writing on. Start
// children from a thread that outlives them, as the user-interface thread does.
// A child starts with every signal at its default action and none blocked,
// whatever this process ignores (SIGPIPE, SIGXFSZ) or blocks.
class LProcess : public LWaitable {
public:
    LProcess() = default;
    ~LProcess() override;
    LProcess(const LProcess&) = delete;
    LProcess& operator=(const LProcess&) = delete;

    // Starts argv[0] (searched on PATH when it has no slash) in a process group of
    // its own, so a terminal's Ctrl+C does not reach it. With `pipeStdin` the
    // child reads what WriteStdin sends; otherwise it reads /dev/null. Its standard
    // output and error are the parent's, or /dev/null when `quiet`, or the open
    // file `outputFd` (shared with the child, so a lock held on it stays held
    // while the child lives). False, with errno, when the program is missing or
    // cannot be executed.
    bool Start(const std::vector<std::string>& argv, bool pipeStdin, bool quiet = false, int outputFd = -1);
    // Writes `bytes` to the child's input. While the pipe is full it waits for the
    // child to read, asking `cancelled` (when given) about every 50 ms; returns the
    // bytes written: fewer when the child has closed its input or died, or when
    // `cancelled` said so.
    int32_t WriteStdin(const void* data, int32_t bytes, const std::function<bool()>& cancelled = {});
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

// Called once at the start of every program, before any thread is started:
// a write to a pipe whose reader has gone (an encoder that quit) or past the
// file-size limit (ulimit -f) then fails with EPIPE or EFBIG, which the writer
// reports, instead of killing the program without a word. Children get both
// signals back at their default action.
void LIgnoreWriteSignals();

// `path` as an argument for a child program: a relative path starting with "-"
// gets "./" in front, so that no program can take a file name for one of its
// options. Every path handed to a child goes through this.
std::string LChildPathArgument(const std::string& path);

// Splits a command line into arguments with the quoting rules of the Windows C
// runtime: blanks separate, double quotes group, a backslash escapes a quote.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);
// `text` as one quoted argument that SplitCommandLine gives back unchanged,
// whatever blanks, quotes or backslashes it holds.
std::string QuoteArgument(const std::string& text);
