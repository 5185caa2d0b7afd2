#include "core/LWorkerJob.h"

#include <atomic>
#include <mutex>
#include <thread>

#include "core/LDispatcher.h"
#include "core/LEvent.h"

namespace {

// What the body's side has set and not yet been shown, and the Cancel the
// window's side has seen.
struct LWorkerState {
    std::mutex mutex;
    std::string text[2];
    bool textChanged[2] = {false, false};
    int32_t percent = 0;
    bool percentChanged = false;
    std::atomic<bool> cancel{false};
    LEvent done;
};

// The body's window: it only records, under the lock.
class LWorkerWindow : public LProgressWindow {
public:
    explicit LWorkerWindow(LWorkerState& state) : state_(state) {}
    void SetText(int line, const std::string& text) override
    {
        std::lock_guard lock(state_.mutex);
        state_.text[line] = text;
        state_.textChanged[line] = true;
    }
    void SetPercent(int32_t percent) override
    {
        std::lock_guard lock(state_.mutex);
        state_.percent = percent;
        state_.percentChanged = true;
    }
    bool Pump() override { return state_.cancel.load(); }

private:
    LWorkerState& state_;
};

class LWorkerSide : public LProgressDialog {
public:
    LWorkerSide(std::string title, const std::function<int32_t(LProgressDialog&)>& body)
        : LProgressDialog(std::move(title)), body_(body) {}
    int32_t Run(LWorkerState& state) { return RunOffUiThread(std::make_unique<LWorkerWindow>(state)); }
    int32_t result = kJobFailed;

protected:
    int32_t Process() override
    {
        result = body_(*this);
        return 1;
    }

private:
    const std::function<int32_t(LProgressDialog&)>& body_;
};

// Copies what changed into the real window.
void Forward(LWorkerState& state, LProgressWindow& window)
{
    std::string text[2];
    bool changed[2];
    int32_t percent;
    bool percentChanged;
    {
        std::lock_guard lock(state.mutex);
        for (int i = 0; i < 2; ++i) {
            changed[i] = state.textChanged[i];
            if (changed[i])
                text[i] = state.text[i];
            state.textChanged[i] = false;
        }
        percent = state.percent;
        percentChanged = state.percentChanged;
        state.percentChanged = false;
    }
    for (int i = 0; i < 2; ++i)
        if (changed[i])
            window.SetText(i, text[i]);
    if (percentChanged)
        window.SetPercent(percent);
}

} // namespace

int32_t LWorkerJob::Process()
{
    LProgressWindow* window = Window();
    if (!window)
        return 0;
    LWorkerState state;
    LWorkerSide worker(GetTitle(), body_);
    std::thread thread([&] {
        worker.Run(state);
        state.done.Set();
    });
    for (;;) {
        const bool finished = state.done.WaitFor(kPollMs);
        Forward(state, *window);
        if (finished)
            break;
        LUiDispatcher().DrainPending();
        // After a Cancel the window is still pumped (a hidden Qt window then
        // takes no input), so the program repaints while the body winds down.
        if (window->Pump())
            state.cancel = true;
    }
    thread.join();
    result = worker.result;
    return 1;
}

int32_t RunWorkerJob(std::string title, std::function<int32_t(LProgressDialog&)> body)
{
    LWorkerJob job(std::move(title), std::move(body));
    job.Run();
    return job.result;
}
