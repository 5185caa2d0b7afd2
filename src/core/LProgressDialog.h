#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/LEvent.h"
#include "core/LProgressWindow.h"

// Job results.
enum : int32_t { kJobDone = 0, kJobCancelled = 1, kJobFailed = 2 };

// A long job run on the user-interface thread under a progress window. Process()
// calls IsCancelled() between blocks, which keeps the interface alive and reports
// the Cancel button.
class LProgressDialog {
public:
    explicit LProgressDialog(std::string title) : title_(std::move(title)) {}
    virtual ~LProgressDialog() = default;
    LProgressDialog(const LProgressDialog&) = delete;
    LProgressDialog& operator=(const LProgressDialog&) = delete;

    // Opens the window and runs Process(); returns what Process returned, or 0 at
    // once when a window is already open or none can be created.
    int32_t Run();
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
    // A message box with caption "Error" and an exclamation icon. User-interface
    // thread only.
    void Error(const std::string& text);

    const std::string& GetTitle() const { return title_; }

protected:
    virtual int32_t Process() = 0;
    // Runs Process() in `window` on a thread other than the user-interface
    // thread (LWorkerJob's): IsCancelled() then only asks the window and never
    // runs queued user-interface work there.
    int32_t RunOffUiThread(std::unique_ptr<LProgressWindow> window);
    // The open window, or nullptr.
    LProgressWindow* Window() const { return window_.get(); }

private:
    std::string title_;
    std::unique_ptr<LProgressWindow> window_;
    bool cancelled_ = false;
    bool uiThread_ = true;
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
