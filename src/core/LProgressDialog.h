#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "core/LEvent.h"
#include "core/LProgressWindow.h"

// Job results.
enum : int32_t { kJobDone = 0, kJobCancelled = 1, kJobFailed = 2 };

// A long job run under a progress window. Process() calls IsCancelled() between
// blocks, which reports the Cancel button. Run() runs it on the calling thread,
// where IsCancelled() also keeps the interface alive; RunOnWorker() runs it on a
// worker thread of its own while the calling thread keeps the window and the
// interface alive, for jobs that wait on devices or the network in slices.
class LProgressDialog {
public:
    explicit LProgressDialog(std::string title);
    virtual ~LProgressDialog();
    LProgressDialog(const LProgressDialog&) = delete;
    LProgressDialog& operator=(const LProgressDialog&) = delete;

    // Opens the window and runs Process(); returns what Process returned, or 0 at
    // once when a window is already open or none can be created.
    int32_t Run();
    // The same with Process() on a worker thread of its own; the calling thread
    // pumps the window until it returns. On the worker, IsCancelled() only reads
    // the Cancel state, SetText and SetProgress are handed to the window's
    // thread, and Error() and OnWindowThread() wait for it.
    int32_t RunOnWorker();
    // Runs `call` on the thread that owns the window and waits for it (at once
    // when called there): for messages and questions from a worker's Process().
    void OnWindowThread(const std::function<void()>& call);
    // Runs pending user-interface work; true once the user has cancelled.
    bool IsCancelled();
    // Waits `ms` while keeping the interface alive; true if cancelled meanwhile.
    bool Wait(int32_t ms);
    // Waits on `object` up to `ms`: 0 signalled, 1 cancelled, 2 timed out.
    int32_t WaitForObject(LWaitable& object, int32_t ms);
    // Line 0 or 1; other lines and a closed window are ignored.
    void SetText(const std::string& text, int line);
    // fraction 0..1 of the bar, truncated to whole percent.
    void SetProgress(double fraction);
    // A message box with caption "Error" and an exclamation icon.
    void Error(const std::string& text);

    const std::string& GetTitle() const { return title_; }

protected:
    virtual int32_t Process() = 0;

private:
    struct Worker;
    bool OnWorker() const;
    // Opens the window with a clear Cancel and an empty bar; false when one is
    // already open or none can be created.
    bool OpenWindow();
    // Hands what the worker left to the window; true once the worker is done.
    bool FlushWorker();

    std::string title_;
    std::unique_ptr<LProgressWindow> window_;
    bool cancelled_ = false;
    std::unique_ptr<Worker> worker_;
};

// A job whose body is a function of the dialog; `result` stays kJobFailed when
// the body never ran.
class LJobDialog : public LProgressDialog {
public:
    LJobDialog(std::string title, std::function<int32_t(LProgressDialog&)> body)
        : LProgressDialog(std::move(title)), body_(std::move(body)) {}
    int32_t result = kJobFailed;

protected:
    int32_t Process() override
    {
        result = body_(*this);
        return 1;
    }

private:
    std::function<int32_t(LProgressDialog&)> body_;
};

// Runs `body` as a job titled `title` and returns its result.
int32_t RunJob(std::string title, std::function<int32_t(LProgressDialog&)> body);
// The same with `body` on a worker thread (LProgressDialog::RunOnWorker).
int32_t RunJobOnWorker(std::string title, std::function<int32_t(LProgressDialog&)> body);
