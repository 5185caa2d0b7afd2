#include "core/LEvent.h"

#include <algorithm>
#include <chrono>

void LEvent::Set()
{
    std::lock_guard lock(mutex_);
    set_ = true;
    cv_.notify_all();
    // Under mutex_, so a watcher cannot leave (and its stack frame go) meanwhile.
    for (Watcher* w : watchers_)
        if (w) {
            std::lock_guard wl(w->mutex);
            w->woken = true;
            w->cv.notify_all();
        }
}

bool LEvent::Watch(Watcher* w)
{
    std::lock_guard lock(mutex_);
    for (Watcher*& slot : watchers_)
        if (!slot) {
            slot = w;
            return true;
        }
    return false;
}

void LEvent::Unwatch(Watcher* w)
{
    std::lock_guard lock(mutex_);
    for (Watcher*& slot : watchers_)
        if (slot == w)
            slot = nullptr;
}

int32_t LEvent::WaitAny(LEvent& a, LEvent& b, int32_t ms)
{
    Watcher w;
    const bool watchA = a.Watch(&w);
    const bool watchB = b.Watch(&w);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms < 0 ? 0 : ms);
    int32_t result = -1;
    for (;;) {
        if (a.IsSet()) {
            result = 0;
            break;
        }
        if (b.IsSet()) {
            result = 1;
            break;
        }
        std::unique_lock lock(w.mutex);
        if (!w.woken) {
            // An event without a free watcher slot is polled every few milliseconds.
            const auto until = (watchA && watchB) ? deadline
                                                  : std::min(deadline, std::chrono::steady_clock::now() +
                                                                           std::chrono::milliseconds(5));
            if (w.cv.wait_until(lock, until, [&] { return w.woken; }) == false &&
                std::chrono::steady_clock::now() >= deadline) {
                lock.unlock();
                result = a.IsSet() ? 0 : b.IsSet() ? 1 : -1;
                break;
            }
        }
        w.woken = false;
    }
    if (watchA)
        a.Unwatch(&w);
    if (watchB)
        b.Unwatch(&w);
    return result;
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
