#pragma once
#include <cstdint>

#include "devices/LChannelLevels.h"
#include "devices/LLoudnessReading.h"

// What a recorder tells its owner, on the user-interface thread, each with the
// owner's cookie. The defaults do nothing.
class LSoundRecorderNotify {
public:
    virtual ~LSoundRecorderNotify() = default;
    // Recording now (sound came, or Start said record at once).
    virtual void RecordStarted(uint32_t cookie) { (void)cookie; }
    // Waiting for sound now (Start, or a long silence).
    virtual void RecordWaiting(uint32_t cookie) { (void)cookie; }
    virtual void RecordStopped(uint32_t cookie) { (void)cookie; }
    // The sink position of the last loud block, in ms.
    virtual void RecordPosition(int32_t ms, uint32_t cookie)
    {
        (void)ms;
        (void)cookie;
    }
    virtual void RecordLevels(const LChannelLevels& levels, uint32_t cookie)
    {
        (void)levels;
        (void)cookie;
    }
    // With the levels: the loudness of what came in since Start, waiting or not.
    virtual void RecordLoudness(const LLoudnessReading& loudness, uint32_t cookie)
    {
        (void)loudness;
        (void)cookie;
    }
};
