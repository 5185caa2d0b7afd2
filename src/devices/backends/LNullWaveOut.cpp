#include "devices/backends/LNullWaveOut.h"

#include <chrono>

#include "devices/backends/LCaptureFile.h"

LNullWaveOut::LNullWaveOut(std::string capturePath, bool freeRunning)
    : capturePath_(std::move(capturePath)), free_(freeRunning)
{
}

LNullWaveOut::~LNullWaveOut() { Close(); }

bool LNullWaveOut::OpenDevice(const LWaveFormat& format, int32_t, bool)
{
    if (format.bits != 16 || format.channels == 0 || format.rate <= 0)
        return false;
    if (!capturePath_.empty() && !LCaptureFile::Begin(capturePath_, format))
        return false;
    // Turns of 10 ms.
    chunk_.assign(size_t(std::max(1, format.rate / 100)) * format.BlockAlign(), 0);
    quit_ = false;
    thread_ = std::thread([this] { Run(); });
    return true;
}

void LNullWaveOut::CloseDevice()
{
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    cv_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

void LNullWaveOut::Wake()
{
    {
        std::lock_guard lock(mutex_);
    }
    cv_.notify_all();
}

void LNullWaveOut::Run()
{
    using Clock = std::chrono::steady_clock;
    const int64_t block = format_.BlockAlign();
    const int64_t rate = format_.rate;
    Clock::time_point origin = Clock::now();
    int64_t played = 0;  // frames since origin
    bool idle = true;
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            // The time-out only guards against a missed wake-up.
            cv_.wait_for(lock, std::chrono::milliseconds(50),
                         [&] { return quit_ || (!paused_.load() && !queue_.IsEmpty()); });
            if (quit_)
                return;
            if (paused_.load() || queue_.IsEmpty()) {
                idle = true;
                continue;
            }
        }
        if (idle) {
            // After a pause or an empty queue the clock starts again from now.
            origin = Clock::now();
            played = 0;
            idle = false;
        }
        bool loop = false;
        const uint32_t n = Render(chunk_.data(), uint32_t(chunk_.size()), &loop);
        if (n == 0) {
            std::this_thread::yield();
            continue;
        }
        if (!capturePath_.empty())
            LCaptureFile::Append(chunk_.data(), n);
        played += n / block;
        if (!free_ || loop || queue_.HeadIsLoop()) {
            const Clock::time_point due = origin + std::chrono::microseconds(played * 1000000 / rate);
            std::unique_lock lock(mutex_);
            cv_.wait_until(lock, due, [&] { return quit_; });
        } else {
            origin = Clock::now();
            played = 0;
        }
    }
}
