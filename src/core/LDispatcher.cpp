#include "core/LDispatcher.h"

#include <atomic>

namespace {
std::atomic<LDispatcher*> g_dispatcher{nullptr};
}

void LQueueDispatcher::Post(std::function<void()> call)
{
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(call));
}

int LQueueDispatcher::DrainPending()
{
    int count = 0;
    for (;;) {
        std::function<void()> call;
        {
            std::lock_guard lock(mutex_);
            if (queue_.empty())
                return count;
            call = std::move(queue_.front());
            queue_.pop_front();
        }
        call();
        ++count;
    }
}

void LQueueDispatcher::MovePendingTo(LDispatcher& other)
{
    std::deque<std::function<void()>> calls;
    {
        std::lock_guard lock(mutex_);
        calls.swap(queue_);
    }
    for (auto& call : calls)
        other.Post(std::move(call));
}

namespace {
LQueueDispatcher& Fallback()
{
    static LQueueDispatcher queue;
    return queue;
}
} // namespace

LDispatcher& LUiDispatcher()
{
    LDispatcher* d = g_dispatcher.load();
    return d ? *d : Fallback();
}

void LSetUiDispatcher(LDispatcher* dispatcher)
{
    g_dispatcher.store(dispatcher);
    if (dispatcher)
        Fallback().MovePendingTo(*dispatcher);
}
