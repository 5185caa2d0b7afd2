#pragma once
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "devices/LQueuedWaveDevice.h"

// An output device without sound: it plays its buffers on a thread of its own,
// in real time or, free-running, as fast as they are queued, and can write
// what it plays into a 16-bit WAV file. A loop buffer always plays in real
// time, so a scrub loop neither races nor fills the capture file.
class LNullWaveOut : public LQueuedWaveOut {
public:
    // `capturePath` empty: nothing is written.
    LNullWaveOut(std::string capturePath, bool freeRunning);
    ~LNullWaveOut() override;

protected:
    bool OpenDevice(const LWaveFormat& format, int32_t device, bool mapped) override;
    void CloseDevice() override;
    void Wake() override;

private:
    void Run();

    std::string capturePath_;
    bool free_;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable cv_;
    bool quit_ = false;
    std::vector<uint8_t> chunk_;
};
