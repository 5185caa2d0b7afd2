#pragma once
#include <atomic>
#include <cstdint>

#include "core/Q24.h"
#include "devices/LWaveOut.h"
#include "devices/LWaveQueue.h"

// The header bookkeeping every wave-out backend shares: prepare, unprepare,
// the queue, reset and loops. A backend opens and closes its device and runs
// the queue's device side (Render) on its own thread or callback.
class LQueuedWaveOut : public LWaveOut {
public:
    bool Open(const LWaveFormat& format, int32_t device, LEvent* done, bool mapped) override;
    void Close() override;
    bool Prepare(LWaveHeader& header) override;
    LWaveResult Unprepare(LWaveHeader& header) override;
    bool Write(LWaveHeader& header) override;
    void Pause() override;
    void Restart() override;
    void Reset() override;
    void BreakLoop() override;
    void SetGain(int32_t gainQ24) override { gain_.store(gainQ24, std::memory_order_relaxed); }

protected:
    // The device side's turn: up to `bytes` of queued audio into `out`, at the
    // gain; the bytes copied (see LWaveQueue::Render).
    uint32_t Render(uint8_t* out, uint32_t bytes, bool* loopPlaying = nullptr);

    virtual bool OpenDevice(const LWaveFormat& format, int32_t device, bool mapped) = 0;
    // Ends the device's own thread or callback.
    virtual void CloseDevice() = 0;
    // Something changed that the device side must see (a buffer queued, a
    // restart, a broken loop); runs after the change.
    virtual void Wake() {}
    // The device stops consuming / may consume again.
    // `drop`: at once, dropping what the device still holds (reset, close);
    // otherwise what it holds may play out first (pause, stop).
    virtual void Halt(bool drop) { (void)drop; }
    virtual void Resume() {}

    LWaveQueue queue_;
    LWaveFormat format_;
    std::atomic<bool> paused_{false};
    std::atomic<int32_t> gain_{kQ24Unity};
    bool open_ = false;
};

// The same for wave-in backends: the device side calls Fill while started_.
class LQueuedWaveIn : public LWaveIn {
public:
    bool Open(const LWaveFormat& format, int32_t device, LEvent* done, bool mapped) override;
    void Close() override;
    bool Prepare(LWaveHeader& header) override;
    LWaveResult Unprepare(LWaveHeader& header) override;
    bool AddBuffer(LWaveHeader& header) override;
    void Start() override;
    void Stop() override;
    void Reset() override;

protected:
    virtual bool OpenDevice(const LWaveFormat& format, int32_t device, bool mapped) = 0;
    virtual void CloseDevice() = 0;
    virtual void Wake() {}
    // `drop`: at once, dropping what the device still holds (reset, close);
    // otherwise what it holds may play out first (pause, stop).
    virtual void Halt(bool drop) { (void)drop; }
    virtual void Resume() {}

    LWaveQueue queue_;
    LWaveFormat format_;
    std::atomic<bool> started_{false};
    bool open_ = false;
};
