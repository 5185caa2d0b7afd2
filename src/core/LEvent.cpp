#include "core/LEvent.h"

#include <chrono>

void LEvent::Set()
{
    {
        std::lock_guard lock(mutex_);
        set_ = true;
    }
    cv_.notify_all();
}

void LEvent::Reset()
{
    std::lock_guard lock(mutex_);
    set_ = false;
}

bool LEvent::IsSet() const
{
    std::lock_guard lock(mutex_);
    return set_;
}

bool LEvent::WaitFor(int32_t ms)
{
    std::unique_lock lock(mutex_);
    if (ms < 0)
        ms = 0;
    return cv_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return set_; });
}
