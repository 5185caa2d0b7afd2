#pragma once
#include <atomic>
#include <cstdint>

// Something a job can wait on while it keeps the user interface alive.
class LWaitable {
public:
    virtual ~LWaitable() = default;
    // Waits up to `ms` milliseconds; true once the object is signalled.
    virtual bool WaitFor(int32_t ms) = 0;
};

// A manual-reset event: stays signalled until Reset. Thread-safe.
// Set takes no lock and never waits: an atomic flag holds the state and an
// eventfd only wakes the waiters, so a sound callback may set an event. Any
// number of threads may wait on one event, also through WaitAny.
class LEvent : public LWaitable {
public:
    LEvent();
    ~LEvent() override;
    LEvent(const LEvent&) = delete;
    LEvent& operator=(const LEvent&) = delete;

    void Set();
    void Reset();
    bool IsSet() const { return set_.load(std::memory_order_acquire); }
    bool WaitFor(int32_t ms) override;
    // Waits up to `ms` for either event; 0 when `a` is set, 1 when `b` is (a
    // first when both are), -1 on time-out. Allocates nothing.
    static int32_t WaitAny(LEvent& a, LEvent& b, int32_t ms);

private:
    static int32_t Wait(LEvent* const* events, int32_t count, int32_t ms);
    void Wake();
    // After a wake-up that found the event clear: takes the stale wake-ups
    // away, so the next wait sleeps again.
    void Drain();

    std::atomic<bool> set_{false};
    // The eventfd; -1 when none could be made, and waiters poll the flag instead.
    int fd_ = -1;
};
