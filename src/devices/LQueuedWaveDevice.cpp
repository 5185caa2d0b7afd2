#include "devices/LQueuedWaveDevice.h"

namespace {

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
