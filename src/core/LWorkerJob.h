#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "core/LProgressDialog.h"

// A job whose body runs on a thread of its own while the calling (user-interface)
// thread keeps the progress window live: the window shows what the body last
// set, Cancel reaches the body through its IsCancelled(), and a window that is
// slow to repaint never holds the body up. For work that must not wait on the
// window, such as feeding a CD recorder. The body gets a progress dialog of its
// own thread: it must not call Error() or anything else of the user interface,
// and returns what it has to tell for the caller to show.
class LWorkerJob : public LProgressDialog {
public:
    LWorkerJob(std::string title, std::function<int32_t(LProgressDialog&)> body)
        : LProgressDialog(std::move(title)), body_(std::move(body)) {}
    // The body's result; kJobFailed when it never ran.
    int32_t result = kJobFailed;

    // How often the window is brought up to date, in ms.
    static constexpr int32_t kPollMs = 20;

protected:
    int32_t Process() override;

private:
    std::function<int32_t(LProgressDialog&)> body_;
};

// Runs `body` as a worker job titled `title` and returns its result.
int32_t RunWorkerJob(std::string title, std::function<int32_t(LProgressDialog&)> body);
