#include "devices/LWaveQueue.h"

#include <algorithm>
#include <cstring>
#include <thread>

void LWaveQueue::Claim()
{
    // A device turn holds the consumer side for one copy at most.
    while (!TryClaim())
        std::this_thread::yield();
}

bool LWaveQueue::Push(LWaveHeader& h)
{
    const uint32_t flags = h.flags.load(std::memory_order_relaxed);
    if (!(flags & kWhdrPrepared) || (flags & kWhdrInQueue))
        return false;
    const uint32_t tail = tail_.load(std::memory_order_relaxed);
    if (tail - head_.load(std::memory_order_acquire) >= kCapacity)
        return false;
    h.flags.store((flags & ~kWhdrDone) | kWhdrInQueue, std::memory_order_relaxed);
    ring_[tail % kCapacity] = &h;
    tail_.store(tail + 1, std::memory_order_release);
    return true;
}

bool LWaveQueue::IsEmpty() const { return Size() == 0; }

uint32_t LWaveQueue::Size() const
{
    return tail_.load(std::memory_order_acquire) - head_.load(std::memory_order_acquire);
}

void LWaveQueue::GiveBack(LWaveHeader& h, bool signal)
{
    const uint32_t flags = h.flags.load(std::memory_order_relaxed);
    h.flags.store((flags & ~kWhdrInQueue) | kWhdrDone, std::memory_order_release);
    if (signal && done_)
        done_->Set();
}

void LWaveQueue::GiveAllBack()
{
    Claim();
    uint32_t head = head_.load(std::memory_order_relaxed);
    const uint32_t tail = tail_.load(std::memory_order_acquire);
    for (; head != tail; ++head)
        GiveBack(*ring_[head % kCapacity], false);
    head_.store(head, std::memory_order_release);
    offset_ = 0;
    headStarted_ = false;
    breakLoop_.store(false, std::memory_order_relaxed);
    Release();
    if (done_)
        done_->Set();
}

void LWaveQueue::GiveBackPartialHead()
{
    Claim();
    const uint32_t head = head_.load(std::memory_order_relaxed);
    if (head != tail_.load(std::memory_order_acquire) && ring_[head % kCapacity]->bytesRecorded != 0) {
        LWaveHeader& h = *ring_[head % kCapacity];
        head_.store(head + 1, std::memory_order_release);
        GiveBack(h, true);
    }
    Release();
}

bool LWaveQueue::HeadIsLoop() const
{
    const uint32_t head = head_.load(std::memory_order_acquire);
    if (head == tail_.load(std::memory_order_acquire))
        return false;
    const uint32_t loopFlags = kWhdrBeginLoop | kWhdrEndLoop;
    return (ring_[head % kCapacity]->flags.load(std::memory_order_relaxed) & loopFlags) == loopFlags;
}

uint32_t LWaveQueue::Render(uint8_t* out, uint32_t bytes, bool* loopPlaying)
{
    if (loopPlaying)
        *loopPlaying = false;
    if (!TryClaim())
        return 0;
    uint32_t done = 0;
    uint32_t head = head_.load(std::memory_order_relaxed);
    while (done < bytes) {
        if (head == tail_.load(std::memory_order_acquire))
            break;
        LWaveHeader& h = *ring_[head % kCapacity];
        const uint32_t loopFlags = kWhdrBeginLoop | kWhdrEndLoop;
        const bool loop = (h.flags.load(std::memory_order_relaxed) & loopFlags) == loopFlags;
        if (!headStarted_) {
            headStarted_ = true;
            offset_ = 0;
            loopsLeft_ = loop ? std::max<uint32_t>(h.loops, 1) : 1;
        }
        const uint32_t n = std::min(bytes - done, h.bufferLength - std::min(offset_, h.bufferLength));
        std::memcpy(out + done, h.data + offset_, n);
        offset_ += n;
        done += n;
        if (offset_ < h.bufferLength)
            break;
        offset_ = 0;
        if (breakLoop_.exchange(false, std::memory_order_acq_rel))
            loopsLeft_ = 1;
        if (--loopsLeft_ > 0) {
            if (loopPlaying)
                *loopPlaying = true;
            // An empty loop buffer would spin here for ever.
            if (h.bufferLength == 0)
                break;
            continue;
        }
        headStarted_ = false;
        ++head;
        head_.store(head, std::memory_order_release);
        GiveBack(h, true);
    }
    if (loopPlaying && headStarted_ && loopsLeft_ > 1)
        *loopPlaying = true;
    Release();
    return done;
}

uint32_t LWaveQueue::Fill(const uint8_t* in, uint32_t bytes)
{
    if (!TryClaim())
        return 0;
    uint32_t taken = 0;
    uint32_t head = head_.load(std::memory_order_relaxed);
    while (taken < bytes) {
        if (head == tail_.load(std::memory_order_acquire))
            break;
        LWaveHeader& h = *ring_[head % kCapacity];
        const uint32_t room = h.bufferLength - std::min(h.bytesRecorded, h.bufferLength);
        const uint32_t n = std::min(bytes - taken, room);
        std::memcpy(h.data + h.bytesRecorded, in + taken, n);
        h.bytesRecorded += n;
        taken += n;
        if (h.bytesRecorded < h.bufferLength)
            break;
        ++head;
        head_.store(head, std::memory_order_release);
        GiveBack(h, true);
    }
    Release();
    return taken;
}
