#pragma once
#include <array>
#include <atomic>
#include <cstdint>

#include "core/LEvent.h"
#include "devices/LWaveHeader.h"

// The queue of headers between a client and a device's own thread (a sound
// server callback, or the thread of a null or file device). The client pushes
// without locking; the device thread alone pops, and it never waits: a turn
// claims the consumer side with one atomic exchange and simply skips while a
// Reset has it. Finished buffers are signalled through the done event, whose
// Set takes no lock either. So the device thread allocates nothing, takes no
// lock and never blocks.
class LWaveQueue {
public:
    static constexpr uint32_t kCapacity = 256;

    // The event set whenever a buffer comes back (may be null).
    void SetDoneEvent(LEvent* done) { done_ = done; }

    // ---- Client side (one thread at a time) ----
    // Queues `h` with kWhdrInQueue set and kWhdrDone clear; false when the
    // queue is full or the header was not prepared.
    bool Push(LWaveHeader& h);
    // Gives every queued header back: done, out of the queue; the header being
    // played or filled keeps what it has (bytesRecorded for recording). Waits
    // for a running device-thread turn to end, which takes no longer than one copy.
    void GiveAllBack();
    void BreakLoop() { breakLoop_.store(true, std::memory_order_release); }
    // Recording: gives back the head buffer when the device has put something in it.
    void GiveBackPartialHead();
    bool IsEmpty() const;
    uint32_t Size() const;

    // ---- Device thread ----
    // Copies up to `bytes` of queued audio to `out`, giving back each buffer it
    // finishes (a loop buffer only after its last pass); returns the bytes copied.
    // `loopPlaying` tells whether the head buffer is a loop still to repeat.
    uint32_t Render(uint8_t* out, uint32_t bytes, bool* loopPlaying = nullptr);
    // Copies `bytes` of recorded audio into the queued buffers, giving back each
    // one it fills; returns the bytes taken (less when the queue ran out).
    uint32_t Fill(const uint8_t* in, uint32_t bytes);
    // The head buffer is a loop buffer (for paced free-running devices).
    bool HeadIsLoop() const;

private:
    void GiveBack(LWaveHeader& h, bool signal);
    bool TryClaim() { return !consumerBusy_.exchange(true, std::memory_order_acquire); }
    void Claim();
    void Release() { consumerBusy_.store(false, std::memory_order_release); }

    std::array<LWaveHeader*, kCapacity> ring_{};
    std::atomic<uint32_t> head_{0};  // next to pop (device thread)
    std::atomic<uint32_t> tail_{0};  // next free slot (client)
    // Claimed by a device turn (which skips when it cannot have it) and by the
    // client's GiveAllBack and GiveBackPartialHead (which wait for the turn to end).
    std::atomic<bool> consumerBusy_{false};
    uint32_t offset_ = 0;            // bytes of the head buffer done
    uint32_t loopsLeft_ = 0;         // passes of the head loop buffer still to play
    bool headStarted_ = false;
    std::atomic<bool> breakLoop_{false};
    LEvent* done_ = nullptr;
};
