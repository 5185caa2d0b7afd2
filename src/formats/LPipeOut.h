#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "core/LProcess.h"

class LProgressDialog;

// An encoder program fed through a pipe to its standard input. The command line
// is split with the Windows C-runtime quoting rules and started without a shell,
// so names built into it with QuoteArgument arrive unchanged, whatever they hold.
// The child writes its output file itself. What it prints goes to a log of its
// own ("kelvane-encoder-…" in the temporary folder, locked while the encoder
// or this object lives, removed with this object); only its error lines are
// offered, and only when it failed.
class LPipeOut {
public:
    LPipeOut() = default;
    // Close(): a child that is still busy is left to finish on its own.
    ~LPipeOut();
    LPipeOut(const LPipeOut&) = delete;
    LPipeOut& operator=(const LPipeOut&) = delete;

    // Starts the command line; false when it is empty or the program cannot be
    // started (missing, not executable).
    bool Open(const std::string& commandLine);
    bool IsOpen() const { return started_; }

    // Writes `bytes` into the pipe, waiting while the pipe is full and asking
    // `cancelled` (when given) as it waits; the bytes taken, fewer when the child
    // has closed its input or died, or the wait was cancelled.
    int32_t Write(const void* data, int32_t bytes, const std::function<bool()>& cancelled = {});

    // Closes the pipe (the child sees the end of its input) and gives the child
    // 3000 ms to exit, without learning whether it succeeded.
    void Close();

    // Closes the pipe and waits for the child to exit, however long it takes,
    // keeping `job`'s window alive when a job is given: kJobDone when it exited
    // with status 0, kJobCancelled when the user cancelled the wait (the child is
    // left to finish; calling again waits again), kJobFailed when it exited with
    // another status, was killed or never started. Once the child has exited,
    // later calls give the same answer.
    int32_t Finish(LProgressDialog* job);

    // Ends the child at once (a cancelled or failed save): once it returns, the
    // child writes nothing more, so its output file can be removed.
    void Stop();

    // The error lines among the last lines the child printed, for a failure
    // message; its banners, progress and warnings are left out.
    std::string Output() const;

    // The child's exit status once it is known (0..255, 128 + signal); else -1.
    int32_t ExitStatus() const { return exited_ ? process_.ExitStatus() : -1; }

    // How long Close() waits for the child.
    static constexpr int32_t kCloseWaitMs = 3000;

private:
    LProcess process_;
    bool started_ = false;
    bool closed_ = false;
    bool exited_ = false;
    std::string logPath_;
    int logFd_ = -1;
};

// The lines of an encoder's output that report a failure: those naming an error
// or a failure, and the complaints of our own adapters ("kelvane-…: "), without
// warnings, banners and progress lines.
std::string LEncoderErrorLines(const std::string& output);
