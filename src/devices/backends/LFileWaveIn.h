#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/LSoundSource.h"
#include "devices/LQueuedWaveDevice.h"

// An input device that delivers an audio file as if it were being recorded,
// converted to the format it is opened with, from the file's start at every
// open. In real time it goes on with silence after the file, like a quiet
// microphone. Free-running it fills buffers as fast as they are added, and
// after the file it keeps the partly filled buffer until Stop or Reset gives it
// back, so a recording holds exactly the file.
class LFileWaveIn : public LQueuedWaveIn {
public:
    LFileWaveIn(std::string path, bool freeRunning);
    ~LFileWaveIn() override;

    // Free-running: waits up to `ms` until the device opened last has
    // delivered its whole file and its client has added back every buffer it
    // was given, so the recording has taken in all of it. For tests and demos.
    static bool WaitUntilDrained(int32_t ms);
    // Free-running, the file's end is the device's: everything is delivered.
    bool Lost() const override { return lost_.load(); }

protected:
    bool OpenDevice(const LWaveFormat& format, int32_t device, bool mapped) override;
    void CloseDevice() override;
    void Wake() override;

private:
    void Run();
    // Reads the next turn of the file into chunk_; false at its end.
    bool ReadTurn();

    std::string path_;
    bool free_;
    LSoundSource source_;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable cv_;
    bool quit_ = false;
    int32_t turnFrames_ = 0;
    std::vector<int32_t> samples_;
    std::vector<uint8_t> chunk_;
    uint32_t chunkBytes_ = 0;  // bytes of chunk_ still to deliver
    uint32_t chunkOffset_ = 0;
    bool ended_ = false;
    std::atomic<bool> lost_{false};
};
