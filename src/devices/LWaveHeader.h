#pragma once
#include <atomic>
#include <cstdint>

// Flags of a wave header.
enum : uint32_t {
    kWhdrDone = 1,       // the device has given the buffer back
    kWhdrPrepared = 2,   // prepared for the device
    kWhdrBeginLoop = 4,  // this buffer starts a loop (loops counts the passes)
    kWhdrEndLoop = 8,    // this buffer ends a loop; both flags on one buffer loop it alone
    kWhdrInQueue = 16,   // queued at the device
};

// One buffer handed to a wave device. The client owns the header and the data
// and must not touch the data between writing (or adding) the buffer and
// seeing kWhdrDone. The device thread sets kWhdrDone with release order, so a
// client that reads the flags with acquire order sees the data the device
// wrote (recording) and may overwrite what it played (playback).
struct LWaveHeader {
    uint8_t* data = nullptr;
    uint32_t bufferLength = 0;   // bytes
    uint32_t bytesRecorded = 0;  // recording: bytes the device filled
    uint32_t user = 0;           // the client's own word
    std::atomic<uint32_t> flags{0};
    uint32_t loops = 0;          // passes of a loop buffer

    bool IsDone() const { return (flags.load(std::memory_order_acquire) & kWhdrDone) != 0; }
};
