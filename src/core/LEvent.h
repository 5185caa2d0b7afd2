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
    void Set();
    void Reset();
    bool IsSet() const;
    bool WaitFor(int32_t ms) override;

private:
    mutable std::mutex mutex_;
    std::condition_variable cv_;
    bool set_ = false;
};
