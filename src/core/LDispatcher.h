#pragma once
#include <deque>
#include <functional>
#include <mutex>

// Runs calls on the user-interface thread. The GUI posts them into its event
// loop; without a GUI they wait in a queue drained by LProgressDialog::IsCancelled,
// the command-line loop or a test.
class LDispatcher {
public:
    virtual ~LDispatcher() = default;
    // Thread-safe: queues `call` to run later on the user-interface thread.
    virtual void Post(std::function<void()> call) = 0;
    // Runs what is pending, where the dispatcher has its own queue; returns how many ran.
    virtual int DrainPending() { return 0; }
};

class LQueueDispatcher : public LDispatcher {
public:
    void Post(std::function<void()> call) override;
    int DrainPending() override;
    // Hands every pending call, in order, to `other`.
    void MovePendingTo(LDispatcher& other);

private:
    std::mutex mutex_;
    std::deque<std::function<void()>> queue_;
};

// The process-wide dispatcher; a LQueueDispatcher until the GUI installs its own,
// which then gets what was posted before it (so a call made while the program
// starts, before it has a window, is not lost).
LDispatcher& LUiDispatcher();
void LSetUiDispatcher(LDispatcher* dispatcher);
