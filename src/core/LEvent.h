#pragma once
#include <condition_variable>
#include <cstdint>
#include <mutex>

// Something a job can wait on while it keeps the user interface alive.
class LWaitable {
public:
    virtual ~LWaitable() = default;
    // Waits up to `ms` milliseconds; true once the object is signalled.
    virtual bool WaitFor(int32_t ms) = 0;
};

// A manual-reset event: stays signalled until Reset. Thread-safe.
class LEvent : public LWaitable {
public:
    LEvent() = default;
    LEvent(const LEvent&) = delete;
    LEvent& operator=(const LEvent&) = delete;

    void Set();
    void Reset();
    bool IsSet() const;
    bool WaitFor(int32_t ms) override;
    // Waits up to `ms` for either event; 0 when `a` is set, 1 when `b` is (a
    // first when both are), -1 on time-out. Allocates nothing, so a real-time
    // thread may wait this way. At most kMaxWatchers threads wait on one event at once.
    static int32_t WaitAny(LEvent& a, LEvent& b, int32_t ms);

    static constexpr int32_t kMaxWatchers = 4;

private:
    struct Watcher {
        std::mutex mutex;
        std::condition_variable cv;
        bool woken = false;
    };
    bool Watch(Watcher* w);
    void Unwatch(Watcher* w);

    mutable std::mutex mutex_;
    std::condition_variable cv_;
    bool set_ = false;
    Watcher* watchers_[kMaxWatchers] = {};
};
