#include "display/LWaveViewBase.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace {
int32_t SaturatingAdd(int32_t a, int32_t b) { return int32_t(std::clamp<int64_t>(int64_t(a) + b, INT32_MIN, INT32_MAX)); }
} // namespace

LWaveViewBase::LWaveViewBase() = default;

LWaveViewBase::~LWaveViewBase() { StopThread(); }

void LWaveViewBase::SetSize(int32_t clientWidth, int32_t clientHeight)
{
    int32_t width;
    {
        std::lock_guard lock(paintLock_);
        map_.SetWidth(clientWidth - 2);
        height_ = std::max(clientHeight - 1, 1);
        ++generation_;
        width = map_.Width();
    }
    {
        std::lock_guard lock(requestLock_);
        force_ = true;
        requested_ = true;
    }
    requestEvent_.notify_one();
    InvalidateColumns(0, width);
}

void LWaveViewBase::SetView(int32_t start, int32_t length)
{
    {
        std::lock_guard lock(requestLock_);
        requestStart_ = start;
        requestLength_ = length;
        requested_ = true;
    }
    requestEvent_.notify_one();
}

void LWaveViewBase::SetCursor(int32_t position, int32_t bandWidth)
{
    int32_t o0, o1, n0, n1;
    {
        std::lock_guard lock(paintLock_);
        o0 = map_.FrameToPixel(cursor_);
        o1 = map_.FrameToPixel(SaturatingAdd(cursor_, band_));
        cursor_ = position;
        band_ = std::max(bandWidth, 0);
        n0 = map_.FrameToPixel(cursor_);
        n1 = map_.FrameToPixel(SaturatingAdd(cursor_, band_));
    }
    InvalidateBetween(o0, o1);
    InvalidateBetween(n0, n1);
}

void LWaveViewBase::SetEnd(int32_t frames)
{
    int32_t a, b;
    {
        std::lock_guard lock(paintLock_);
        a = map_.FrameToPixel(end_);
        end_ = frames;
        b = map_.FrameToPixel(end_);
    }
    InvalidateBetween(a, b);
}

LWavePicture LWaveViewBase::Picture() const
{
    LWavePicture p;
    std::lock_guard lock(paintLock_);
    p.map = map_;
    p.height = height_;
    p.cursor = cursor_;
    p.band = band_;
    p.end = end_;
    p.enabled = started_;
    p.upper = upper_;
    p.lower = lower_;
    FillPictureLocked(p);
    return p;
}

LWaveMapping LWaveViewBase::Mapping() const
{
    std::lock_guard lock(paintLock_);
    return map_;
}

int32_t LWaveViewBase::PixelToFrame(int32_t pixel) const
{
    std::lock_guard lock(paintLock_);
    return map_.PixelToFrame(pixel);
}

int32_t LWaveViewBase::FrameToPixel(int32_t frame) const
{
    std::lock_guard lock(paintLock_);
    return map_.FrameToPixel(frame);
}

void LWaveViewBase::StartThread()
{
    StopThread();
    {
        std::lock_guard lock(paintLock_);
        map_.ForceRecompute();
        ++generation_;
    }
    {
        std::lock_guard lock(requestLock_);
        requestStart_ = 0;
        requestLength_ = 0;
        requested_ = false;
        force_ = true;
        busy_ = false;
    }
    {
        std::lock_guard lock(paintLock_);
        started_ = true;
    }
    Start(LThreadPriority::Lowest);
}

void LWaveViewBase::StopThread()
{
    {
        std::lock_guard lock(requestLock_);
        stopping_.store(true);
    }
    requestEvent_.notify_all();
    idle_.notify_all();
    StopThreadTimed(5000);
    std::lock_guard lock(paintLock_);
    stopping_.store(false);
    started_ = false;
}

bool LWaveViewBase::WaitIdle(int32_t ms)
{
    std::unique_lock lock(requestLock_);
    return idle_.wait_for(lock, std::chrono::milliseconds(ms),
                          [this] { return !IsRunning() || stopping_.load() || (!requested_ && !busy_); });
}

void LWaveViewBase::ThreadBody()
{
    int32_t lastStart = 0, lastLength = 0;
    for (;;) {
        int32_t start, length;
        {
            std::unique_lock lock(requestLock_);
            busy_ = false;
            idle_.notify_all();
            requestEvent_.wait(lock, [this] { return stopping_.load() || requested_; });
            if (stopping_.load())
                return;
            requested_ = false;
            start = requestStart_;
            length = requestLength_;
            if (!force_ && start == lastStart && length == lastLength)
                continue;
            force_ = false;
            busy_ = true;
        }
        Process(start, length);
        lastStart = start;
        lastLength = length;
        ++computed_;
    }
}

LWaveApply LWaveViewBase::Process(int32_t start, int32_t length)
{
    LWaveApply a;
    LWaveMapping snapshot;
    uint64_t generation;
    {
        std::lock_guard lock(paintLock_);
        a = map_.Apply(start, length);
        const int32_t width = map_.Width();
        for (uint8_t* lane : {upper_.data(), lower_.data(), upper_.data() + kWaveLaneStride,
                              lower_.data() + kWaveLaneStride}) {
            if (a.shift > 0)
                std::memmove(lane + a.shift, lane, size_t(width - a.shift));
            else if (a.shift < 0)
                std::memmove(lane, lane - a.shift, size_t(width + a.shift));
        }
        if (a.shift != 0)
            ShiftedLocked(a.shift, width);
        if (!a.zoom)
            ScrolledLocked(map_);
        snapshot = map_;
        generation = ++generation_;
    }
    const int32_t width = snapshot.Width();
    a.from = std::clamp(a.from, 0, width);
    a.to = std::clamp(a.to, a.from, width);
    bool complete = true;
    if (a.from < a.to) {
        complete = ComputeColumns(snapshot, a.from, a.to, scratchUpper_.data(), scratchLower_.data(), &stopping_);
        std::lock_guard lock(paintLock_);
        if (complete && generation == generation_) {
            for (size_t lane : {size_t(0), size_t(kWaveLaneStride)}) {
                std::memcpy(upper_.data() + lane + a.from, scratchUpper_.data() + lane + a.from, size_t(a.to - a.from));
                std::memcpy(lower_.data() + lane + a.from, scratchLower_.data() + lane + a.from, size_t(a.to - a.from));
            }
            CommitLocked(a.from, a.to);
        }
    }
    if (complete) {
        if (a.shift != 0)
            PostInvalidate(0, width);
        else if (a.from < a.to)
            PostInvalidate(a.from, a.to);
    }
    return a;
}

void LWaveViewBase::PostInvalidate(int32_t from, int32_t to)
{
    std::lock_guard lock(dirtyLock_);
    if (posted_) {
        dirtyFrom_ = std::min(dirtyFrom_, from);
        dirtyTo_ = std::max(dirtyTo_, to);
        return;
    }
    dirtyFrom_ = from;
    dirtyTo_ = to;
    posted_ = true;
    Notify();
}

void LWaveViewBase::OnNotify()
{
    int32_t from, to;
    {
        std::lock_guard lock(dirtyLock_);
        from = dirtyFrom_;
        to = dirtyTo_;
        posted_ = false;
    }
    InvalidateColumns(from, to);
}

void LWaveViewBase::InvalidateColumns(int32_t from, int32_t to)
{
    int32_t width;
    {
        std::lock_guard lock(paintLock_);
        width = map_.Width();
    }
    from = std::max(from, 0);
    to = std::min(to, width);
    if (listener_ && from < to)
        listener_->WaveInvalidate(from, to);
}

void LWaveViewBase::InvalidateBetween(int32_t a, int32_t b)
{
    InvalidateColumns(std::min(a, b), std::max(a, b) + 1);
}
