#pragma once
#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>

#include "core/LEvent.h"

enum class LThreadPriority : uint8_t { Lowest, BelowNormal, Normal, AboveNormal, Highest, TimeCritical };

// A restartable worker thread whose body watches the stop event.
// A subclass must call StopThreadTimed in its own destructor: by the time the
// base destructor runs, the body's object is already gone.
class LThread {
public:
    LThread() = default;
    virtual ~LThread();
    LThread(const LThread&) = delete;
    LThread& operator=(const LThread&) = delete;

    // Starts the body on a new thread; ignored while it runs, restarts it after it returned.
    void Start(LThreadPriority priority = LThreadPriority::Normal);
    // Signals the stop event and waits for the body to return. The body is given
    // `ms` to notice; a thread cannot be killed safely here, so one that overruns
    // is still waited for rather than abandoned mid-access.
    void StopThreadTimed(int32_t ms = 5000);
    bool IsRunning() const { return running_.load(); }

protected:
    // Runs on the new thread; returns when StopEvent() is set or its work is done.
    virtual void ThreadBody() = 0;
    LEvent& StopEvent() { return stop_; }
    bool StopRequested() const { return stop_.IsSet(); }

private:
    std::mutex mutex_;
    std::thread thread_;
    LEvent stop_;
    LEvent ended_;
    std::atomic<bool> running_{false};
};
