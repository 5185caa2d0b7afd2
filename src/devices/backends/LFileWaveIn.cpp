#include "devices/backends/LFileWaveIn.h"

#include <algorithm>
#include <chrono>

#include "core/ByteOrder.h"
#include "core/LEvent.h"
#include "core/LSourceProcessor.h"
#include "devices/LChannelLevels.h"
#include "formats/LWaveFile.h"

namespace {

// What WaitUntilDrained watches: the device opened last.
struct Drain {
    std::mutex mutex;
    std::condition_variable cv;
    bool drained = false;
};

Drain& DrainState()
{
    static Drain d;
    return d;
}

void SetDrained(bool drained)
{
    Drain& d = DrainState();
    {
        std::lock_guard lock(d.mutex);
        d.drained = drained;
    }
    d.cv.notify_all();
}

} // namespace

LFileWaveIn::LFileWaveIn(std::string path, bool freeRunning) : path_(std::move(path)), free_(freeRunning) {}

LFileWaveIn::~LFileWaveIn() { Close(); }

bool LFileWaveIn::WaitUntilDrained(int32_t ms)
{
    Drain& d = DrainState();
    std::unique_lock lock(d.mutex);
    return d.cv.wait_for(lock, std::chrono::milliseconds(ms), [&] { return d.drained; });
}

bool LFileWaveIn::OpenDevice(const LWaveFormat& format, int32_t, bool)
{
    if (format.bits != 16 || format.channels == 0 || format.rate <= 0)
        return false;
    LSoundSource file = LWaveFile::OpenSource(path_);
    if (file->GetError() != kSrcGood)
        return false;
    file = LSPConvChannels(format.channels).OpenSource(file);
    source_ = LSPConvRate(format.rate).OpenSource(file);
    if (source_->GetError() != kSrcGood || source_->GetChannels() != format.channels)
        return false;
    turnFrames_ = std::max(1, format.rate / 100);
    samples_.assign(size_t(turnFrames_) * format.channels, 0);
    chunk_.assign(size_t(turnFrames_) * format.BlockAlign(), 0);
    chunkBytes_ = chunkOffset_ = 0;
    ended_ = false;
    lost_.store(false);
    quit_ = false;
    SetDrained(false);
    thread_ = std::thread([this] { Run(); });
    return true;
}

void LFileWaveIn::CloseDevice()
{
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    cv_.notify_all();
    if (thread_.joinable())
        thread_.join();
    source_.Reset();
}

void LFileWaveIn::Wake()
{
    {
        std::lock_guard lock(mutex_);
    }
    cv_.notify_all();
}

bool LFileWaveIn::ReadTurn()
{
    const int32_t left = source_->GetLength() - source_->GetPosition();
    const int32_t frames = std::min(left, turnFrames_);
    if (frames <= 0)
        return false;
    source_->Read(samples_.data(), frames);
    const size_t values = size_t(frames) * format_.channels;
    for (size_t i = 0; i < values; ++i)
        PutLE16(chunk_.data() + 2 * i, uint16_t(LNativeTo16(samples_[i])));
    chunkBytes_ = uint32_t(values * 2);
    chunkOffset_ = 0;
    return true;
}

void LFileWaveIn::Run()
{
    using Clock = std::chrono::steady_clock;
    Clock::time_point origin = Clock::now();
    int64_t delivered = 0;  // frames since origin
    bool wasStarted = false;
    uint32_t mostQueued = 0;
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            cv_.wait_for(lock, std::chrono::milliseconds(50), [&] {
                return quit_ || (started_.load() && !queue_.IsEmpty() && !(free_ && ended_ && chunkBytes_ == 0));
            });
            if (quit_)
                return;
            mostQueued = std::max(mostQueued, queue_.Size());
            if (free_ && ended_ && chunkBytes_ == 0) {
                lost_.store(true);
                if (queue_.Size() >= mostQueued)
                    SetDrained(true);
                continue;
            }
            if (!started_.load() || queue_.IsEmpty()) {
                wasStarted = false;
                continue;
            }
        }
        if (!wasStarted) {
            origin = Clock::now();
            delivered = 0;
            wasStarted = true;
        }
        if (chunkBytes_ == 0 && !ended_ && !ReadTurn()) {
            ended_ = true;
            if (free_)
                continue;
        }
        if (chunkBytes_ == 0) {
            // Real time after the file: silence.
            std::fill(chunk_.begin(), chunk_.end(), 0);
            chunkBytes_ = uint32_t(chunk_.size());
            chunkOffset_ = 0;
        }
        const uint32_t taken = queue_.Fill(chunk_.data() + chunkOffset_, chunkBytes_);
        if (free_) {
            // Nothing is lost: what did not fit waits for the next buffer.
            chunkOffset_ += taken;
            chunkBytes_ -= taken;
            if (taken == 0)
                std::this_thread::yield();
            continue;
        }
        // In real time a device with no room drops what it hears, as hardware does.
        delivered += chunkBytes_ / format_.BlockAlign();
        chunkBytes_ = 0;
        const Clock::time_point due = origin + std::chrono::microseconds(delivered * 1000000 / format_.rate);
        std::unique_lock lock(mutex_);
        cv_.wait_for(lock, due - Clock::now(), [&] { return quit_; });
    }
}
