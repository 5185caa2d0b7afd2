#include "devices/LQueuedWaveDevice.h"

#include <algorithm>

#include "core/ByteOrder.h"

namespace {

// 16-bit little-endian samples times a Q24 gain, rounded and held at full scale.
void ApplyGain(uint8_t* bytes, uint32_t count, int32_t gain)
{
    for (uint32_t i = 0; i + 1 < count; i += 2) {
        const int64_t s = int16_t(GetLE16(bytes + i));
        const int64_t v = (s * gain + (int64_t(1) << 23)) >> 24;
        PutLE16(bytes + i, uint16_t(int16_t(std::clamp<int64_t>(v, -32768, 32767))));
    }
}

bool PrepareHeader(LWaveHeader& h)
{
    if (!h.data && h.bufferLength > 0)
        return false;
    h.flags.store(h.flags.load(std::memory_order_relaxed) | kWhdrPrepared, std::memory_order_relaxed);
    return true;
}

LWaveResult UnprepareHeader(LWaveHeader& h)
{
    const uint32_t flags = h.flags.load(std::memory_order_acquire);
    if (flags & kWhdrInQueue)
        return LWaveResult::StillPlaying;
    h.flags.store(flags & ~kWhdrPrepared, std::memory_order_relaxed);
    return LWaveResult::Ok;
}

} // namespace

uint32_t LQueuedWaveOut::Render(uint8_t* out, uint32_t bytes, bool* loopPlaying)
{
    const uint32_t n = queue_.Render(out, bytes, loopPlaying);
    const int32_t gain = gain_.load(std::memory_order_relaxed);
    if (gain != kQ24Unity)
        ApplyGain(out, n, gain);
    return n;
}

bool LQueuedWaveOut::Open(const LWaveFormat& format, int32_t device, LEvent* done, bool mapped)
{
    Close();
    queue_.SetDoneEvent(done);
    format_ = format;
    paused_.store(false);
    open_ = OpenDevice(format, device, mapped);
    return open_;
}

void LQueuedWaveOut::Close()
{
    if (!open_)
        return;
    CloseDevice();
    queue_.GiveAllBack();
    open_ = false;
}

bool LQueuedWaveOut::Prepare(LWaveHeader& header) { return PrepareHeader(header); }

LWaveResult LQueuedWaveOut::Unprepare(LWaveHeader& header) { return UnprepareHeader(header); }

bool LQueuedWaveOut::Write(LWaveHeader& header)
{
    if (!open_ || !queue_.Push(header))
        return false;
    Wake();
    return true;
}

void LQueuedWaveOut::Pause()
{
    if (!open_ || paused_.exchange(true))
        return;
    Halt(false);
}

void LQueuedWaveOut::Restart()
{
    if (!open_ || !paused_.exchange(false))
        return;
    Resume();
    Wake();
}

void LQueuedWaveOut::Reset()
{
    if (!open_)
        return;
    Halt(true);
    queue_.GiveAllBack();
    paused_.store(false);
    Resume();
}

void LQueuedWaveOut::BreakLoop()
{
    if (!open_)
        return;
    queue_.BreakLoop();
    Wake();
}

bool LQueuedWaveIn::Open(const LWaveFormat& format, int32_t device, LEvent* done, bool mapped)
{
    Close();
    queue_.SetDoneEvent(done);
    format_ = format;
    started_.store(false);
    open_ = OpenDevice(format, device, mapped);
    return open_;
}

void LQueuedWaveIn::Close()
{
    if (!open_)
        return;
    started_.store(false);
    CloseDevice();
    queue_.GiveAllBack();
    open_ = false;
}

bool LQueuedWaveIn::Prepare(LWaveHeader& header) { return PrepareHeader(header); }

LWaveResult LQueuedWaveIn::Unprepare(LWaveHeader& header) { return UnprepareHeader(header); }

bool LQueuedWaveIn::AddBuffer(LWaveHeader& header)
{
    if (!open_)
        return false;
    header.bytesRecorded = 0;
    if (!queue_.Push(header))
        return false;
    Wake();
    return true;
}

void LQueuedWaveIn::Start()
{
    if (!open_ || started_.exchange(true))
        return;
    Resume();
    Wake();
}

void LQueuedWaveIn::Stop()
{
    if (!open_ || !started_.exchange(false))
        return;
    Halt(false);
    queue_.GiveBackPartialHead();
}

void LQueuedWaveIn::Reset()
{
    if (!open_)
        return;
    started_.store(false);
    Halt(true);
    queue_.GiveAllBack();
}
