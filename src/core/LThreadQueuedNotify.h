#pragma once
#include <memory>

// Moves work from a worker thread to the user-interface thread: Notify() may be
// called from any thread and OnNotify() later runs on the user-interface thread
// through LUiDispatcher(). Notifications still queued when the object is
// destroyed are dropped. Create and destroy it on the user-interface thread.
class LThreadQueuedNotify {
public:
    LThreadQueuedNotify();
    virtual ~LThreadQueuedNotify();
    LThreadQueuedNotify(const LThreadQueuedNotify&) = delete;
    LThreadQueuedNotify& operator=(const LThreadQueuedNotify&) = delete;

    void Notify();

protected:
    virtual void OnNotify() = 0;

private:
    struct Link;
    std::shared_ptr<Link> link_;
};
