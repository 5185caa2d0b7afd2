#pragma once
#include <cstdint>

#include "core/LSoundSource.h"

// What a player tells its owner. Called on the user-interface thread only,
// never from inside a call the owner made on the player's port (Start, Stop,
// Cue, Play and Seek report through later calls, or synchronously at their end).
class LPlayerListener {
public:
    virtual ~LPlayerListener() = default;
    // Playback started, stopped (also after reaching the end), cued or paused:
    // LPlayerPort::State() has changed.
    virtual void PlayStateChanged() {}
    // The position now heard, in milliseconds of the source being played.
    virtual void PlayPosition(int32_t ms) { (void)ms; }
};

// The main window's player: a source goes to an output device on a thread of
// its own. The audio-device layer implements it (LSoundPlayer underneath);
// tests record what they are asked. All calls on the user-interface thread.
class LPlayerPort {
public:
    // Bits of State(): 0 is idle.
    static constexpr uint16_t kActive = 1;  // playing, paused or cueing
    static constexpr uint16_t kPaused = 2;  // the device is paused
    static constexpr uint16_t kCueing = 4;  // the scrub loop plays

    virtual ~LPlayerPort() = default;
    // Plays `source` from its current position on output device `device`
    // (0 = the default device, n >= 1 = device n - 1), stopping any earlier
    // playback. False, and idle, when the source is in error or the device
    // cannot be opened. The player keeps its own reference to the source.
    virtual bool Start(LSoundSource source, int32_t device) = 0;
    // Stops and closes everything; harmless when idle.
    virtual void Stop() = 0;
    // Loops a 25 ms snippet at the current position until Play or Seek.
    virtual void Cue() {}
    // Leaves the scrub loop, or un-pauses; harmless when idle.
    virtual void Play() {}
    // Continues from `frame` of the same source; when cueing the loop moves there.
    virtual void Seek(int32_t frame) { (void)frame; }
    virtual uint16_t State() const { return 0; }
    // How loud the player plays, in dB (0 as the audio is, -36 and below
    // silent); a change is heard at once, also during playback.
    virtual void SetVolumeDb(int32_t dB) { (void)dB; }
    // Where notifications go (not owned; nullptr for none).
    virtual void SetListener(LPlayerListener* listener) { (void)listener; }
};
