#pragma once
#include <cstdint>

class LCutListAudio;

// What the main window asks of playback. The audio-device layer implements it;
// commands only stop playback before changing audio and may start it afterwards.
// Called on the user-interface thread.
class LPlayerPort {
public:
    virtual ~LPlayerPort() = default;
    virtual void Stop() = 0;
    // Plays `audio` (the player takes its own copy) from `frame`.
    virtual void PlayFrom(const LCutListAudio& audio, int32_t frame) = 0;
};
