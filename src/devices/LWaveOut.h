#pragma once
#include <cstdint>
#include <memory>

#include "core/LEvent.h"
#include "devices/LWaveFormat.h"
#include "devices/LWaveHeader.h"

// What Unprepare answers.
enum class LWaveResult : uint8_t { Ok, Error, StillPlaying };

// A wave-out device: buffers queued in order, each given back with kWhdrDone
// and the done event set once it has been played. Device numbers here are the
// platform's: -1 is the default device, 0.. the devices in list order.
// Control calls (everything but the device's own thread) come from one thread
// at a time; the client serialises them.
class LWaveOut {
public:
    virtual ~LWaveOut() = default;
    // Opens `device` for `format`; `done` (not owned, outlives the device) is set
    // whenever a buffer comes back. With `mapped` the backend may convert the
    // format, or open the default device, where the device refuses it.
    virtual bool Open(const LWaveFormat& format, int32_t device, LEvent* done, bool mapped) = 0;
    // Gives every queued buffer back and closes the device; harmless when closed.
    virtual void Close() = 0;
    virtual bool Prepare(LWaveHeader& header) = 0;
    // StillPlaying while the header is queued.
    virtual LWaveResult Unprepare(LWaveHeader& header) = 0;
    // Queues a prepared buffer; its done flag is cleared.
    virtual bool Write(LWaveHeader& header) = 0;
    // Pause holds the queue where it is; Restart plays on.
    virtual void Pause() = 0;
    virtual void Restart() = 0;
    // Stops at once and gives every queued buffer back (done), unpaused.
    virtual void Reset() = 0;
    // A playing loop finishes its current pass and playback goes on after it.
    virtual void BreakLoop() = 0;
    // A gain on what is played from now on, buffers already queued included, in
    // Q24 (kQ24Unity plays the samples as they are, 0 silences them); it is
    // applied as the audio leaves, so a change is heard at once. Any thread.
    virtual void SetGain(int32_t gainQ24) = 0;
};

// A wave-in device: added buffers are filled in order and given back full (or
// partly filled, on Stop and Reset) with bytesRecorded set.
class LWaveIn {
public:
    virtual ~LWaveIn() = default;
    virtual bool Open(const LWaveFormat& format, int32_t device, LEvent* done, bool mapped) = 0;
    virtual void Close() = 0;
    virtual bool Prepare(LWaveHeader& header) = 0;
    virtual LWaveResult Unprepare(LWaveHeader& header) = 0;
    // Queues a prepared buffer for filling; bytesRecorded becomes 0.
    virtual bool AddBuffer(LWaveHeader& header) = 0;
    // Recording runs only between Start and Stop (or Reset); buffers added before
    // Start wait. Stop gives back the buffer being filled.
    virtual void Start() = 0;
    virtual void Stop() = 0;
    // Stops and gives every queued buffer back.
    virtual void Reset() = 0;
    // The device has gone while recording (unplugged, or a file that has ended):
    // it fills nothing more, though it may still hold a partly filled buffer
    // that Stop or Reset gives back.
    virtual bool Lost() const { return false; }
};
