#pragma once
#include <cstdint>

#include "devices/LChannelLevels.h"
#include "devices/LLoudnessReading.h"

// What a player tells its owner, on the user-interface thread; every call
// carries the cookie the owner gave the player. The defaults do nothing.
class LSoundPlayerNotify {
public:
    virtual ~LSoundPlayerNotify() = default;
    // Start without the paused flag, and Play.
    virtual void PlayStarted(uint32_t cookie) { (void)cookie; }
    // The end of Stop, also after the end was reached.
    virtual void PlayStopped(uint32_t cookie) { (void)cookie; }
    // Cue entered the scrub loop.
    virtual void PlayCued(uint32_t cookie) { (void)cookie; }
    // Start with the paused flag.
    virtual void PlayPaused(uint32_t cookie) { (void)cookie; }
    // After Start, Cue, Seek, each buffer heard, and at the end (the source's length).
    virtual void PlayPosition(int32_t ms, uint32_t cookie)
    {
        (void)ms;
        (void)cookie;
    }
    // With each position of a buffer heard, and for the scrub loop.
    virtual void PlayLevels(const LChannelLevels& levels, uint32_t cookie)
    {
        (void)levels;
        (void)cookie;
    }
    // With each position of a buffer heard: the loudness of what was heard up
    // to it since Start (the scrub loop is not measured).
    virtual void PlayLoudness(const LLoudnessReading& loudness, uint32_t cookie)
    {
        (void)loudness;
        (void)cookie;
    }
};
