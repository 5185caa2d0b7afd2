#include "core/LEvent.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>

// The flag is the event's state; the eventfd's counter only says "look again".
// Set raises the flag before it writes, so a waiter woken by the write sees the
// flag. A waiter that wakes to a clear flag (a Set already undone by Reset)
// drains the counter and looks at the flag once more: should a Set have come in
// between, its wake-up may have been drained with the stale ones, so the waiter
// writes one back for the other waiters and returns. Nothing on the Set side
// blocks: the descriptor is non-blocking and its counter cannot fill up.

LEvent::LEvent() : fd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

LEvent::~LEvent()
{
    if (fd_ >= 0)
        close(fd_);
}

void LEvent::Wake()
{
    if (fd_ < 0)
        return;
    const uint64_t one = 1;
    // Fails only when the counter is full, and then a waiter wakes anyway.
    [[maybe_unused]] const ssize_t written = write(fd_, &one, sizeof one);
}

void LEvent::Drain()
{
    uint64_t count = 0;
    [[maybe_unused]] const ssize_t got = read(fd_, &count, sizeof count);
}

void LEvent::Set()
{
    if (!set_.exchange(true, std::memory_order_acq_rel))
        Wake();
}

void LEvent::Reset() { set_.store(false, std::memory_order_release); }

int32_t LEvent::Wait(LEvent* const* events, int32_t count, int32_t ms)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(std::max(ms, 0));
    pollfd fds[2] = {};
    bool pollable = true;
    for (int32_t i = 0; i < count; ++i) {
        fds[i].fd = events[i]->fd_;
        fds[i].events = POLLIN;
        pollable = pollable && events[i]->fd_ >= 0;
    }
    for (;;) {
        for (int32_t i = 0; i < count; ++i)
            if (events[i]->IsSet())
                return i;
        const int64_t left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return -1;
        if (!pollable) {
            // Without an eventfd the flags are looked at every few milliseconds.
            std::this_thread::sleep_for(std::chrono::milliseconds(std::min<int64_t>(left, 2)));
            continue;
        }
        // One millisecond more, so a wait that ends by time-out has used all of it.
        if (poll(fds, nfds_t(count), int(std::min<int64_t>(left + 1, 60000))) <= 0)
            continue;
        for (int32_t i = 0; i < count; ++i) {
            if (!(fds[i].revents & POLLIN) || events[i]->IsSet())
                continue;
            events[i]->Drain();
            if (events[i]->IsSet())
                events[i]->Wake();
        }
    }
}

bool LEvent::WaitFor(int32_t ms)
{
    LEvent* self = this;
    return Wait(&self, 1, ms) == 0;
}

int32_t LEvent::WaitAny(LEvent& a, LEvent& b, int32_t ms)
{
    LEvent* both[2] = {&a, &b};
    return Wait(both, 2, ms);
}
