#include "core/LThread.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// Linux lets any thread lower its own priority, not raise it; raised priorities
// are left to the real-time audio backends.
void ApplyPriority(LThreadPriority priority)
{
    int nice = 0;
    switch (priority) {
    case LThreadPriority::Lowest: nice = 10; break;
    case LThreadPriority::BelowNormal: nice = 5; break;
    default: return;
    }
    setpriority(PRIO_PROCESS, id_t(syscall(SYS_gettid)), nice);
}

} // namespace

LThread::~LThread() { StopThreadTimed(5000); }

void LThread::Start(LThreadPriority priority)
{
    std::lock_guard lock(mutex_);
    if (thread_.joinable()) {
        if (running_.load())
            return;
        thread_.join();
    }
    stop_.Reset();
    ended_.Reset();
    running_.store(true);
    thread_ = std::thread([this, priority] {
        ApplyPriority(priority);
        ThreadBody();
        running_.store(false);
        ended_.Set();
    });
}

void LThread::StopThreadTimed(int32_t ms)
{
    std::lock_guard lock(mutex_);
    if (!thread_.joinable())
        return;
    stop_.Set();
    ended_.WaitFor(ms);
    thread_.join();
    running_.store(false);
}
