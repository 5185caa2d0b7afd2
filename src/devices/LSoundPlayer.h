#pragma once
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "core/LEvent.h"
#include "core/LSoundSource.h"
#include "core/LThread.h"
#include "core/LThreadQueuedNotify.h"
#include "devices/LChannelLevels.h"
#include "devices/LLoudnessReading.h"
#include "devices/LSoundPlayerNotify.h"
#include "devices/LWaveOut.h"

class LLoudnessMeter;

// Plays a source through a wave-out device. A playback thread keeps 64 buffers
// of 16-bit PCM (100 ms each, 20..8192 frames) queued at the device and reports
// the position and the levels of what is heard back to the user-interface
// thread, with the momentary and short-term loudness of what was heard (measured
// on the playback thread from each buffer as the device returns it, so the
// read-out follows the sound, not the 6 s of buffers ahead of it). Cue loops a 25 ms snippet at the position (scrubbing) until Play or
// Seek. The player never touches a document: its owner hands it a source that
// is positioned and shaped already.
// Public operations, notifications and the destructor belong to the
// user-interface thread. The buffer lock guards the ring, the source and the
// position between that thread and the playback thread, which holds it for one
// buffer's service and never while it waits, allocates nothing and reaches
// the other side only by a notification.
class LSoundPlayer : public LThread, public LThreadQueuedNotify, public LSoundPlayerNotify {
public:
    // State bits.
    static constexpr uint16_t kActive = 1;   // device open, thread running
    static constexpr uint16_t kPaused = 2;   // device paused
    static constexpr uint16_t kCueing = 4;   // the scrub loop plays
    static constexpr uint16_t kPreRoll = 8;  // held paused until 42 buffers are queued
    static constexpr uint16_t kRaise = 16;   // all buffers not queued yet since (re)start
    // Start flags.
    static constexpr uint16_t kStartPaused = 1;   // send PlayPaused and wait for Play
    static constexpr uint16_t kStartPreRoll = 2;  // without kStartPaused: run once 42 buffers wait
    static constexpr int32_t kBuffers = 64;
    static constexpr uint32_t kNoPosition = 0x80000000u;

    LSoundPlayer();
    ~LSoundPlayer() override;

    // Plays `source` from its current position, stopping earlier playback. A
    // source whose declared peak exceeds 16-bit full scale plays through the
    // peak limiter. False, and idle, when the source (or its limiter) is in
    // error or the device cannot be opened even with conversion.
    bool Start(LSoundSource source, uint16_t flags = 0);
    // Stops and closes everything, then sends PlayStopped; nothing when idle.
    void Stop();
    // Enters the scrub loop at the position (or un-pauses a paused loop).
    void Cue();
    // Leaves the scrub loop (after its current pass) and/or un-pauses.
    void Play();
    // Continues from `frame` of the same source; moves the scrub loop there;
    // a paused device stays paused.
    void Seek(int32_t frame);
    // How loud it plays, in dB: 0 as the audio is, -6 about half, -36 and
    // below silent (LDbToGain). The device applies it as the audio leaves, so a
    // change is heard at once, also during playback; the capture device
    // records it. Kept across Start and Stop.
    void SetVolumeDb(int32_t dB);
    int32_t GetVolumeDb() const { return volumeDb_; }
    uint16_t GetState() const { return state_.load(); }
    // Frames per buffer of the current playback (0 when idle).
    int32_t SamplesPerBuffer() const { return samplesPerBuffer_; }

    // Output device number: 0 the default device, n >= 1 device n - 1. Set
    // before Start.
    int32_t device = 0;
    // Receiver of the notifications (not owned); the player's own do-nothing
    // implementation until an owner sets it, and again when the owner leaves.
    LSoundPlayerNotify* notify = this;
    uint32_t notifyCookie = 0;

protected:
    void ThreadBody() override;
    void OnNotify() override;

private:
    struct Entry {
        uint32_t capacity = 0;  // bytes
        LWaveHeader header;
        LChannelLevels levels;
    };

    void CueBuffer();
    void MeasureHeard(const Entry& e);
    void Convert(const int32_t* values, size_t count, uint8_t* out) const;
    void Post();
    int32_t Ms(int32_t frames) const;

    std::mutex bufferLock_;
    LEvent bufferEvent_;
    std::atomic<uint16_t> state_{0};
    std::atomic<bool> notifyStop_{false};
    std::atomic<bool> positionChanged_{false};
    std::atomic<bool> posted_{false};
    int32_t position_ = 0;
    int32_t volumeDb_ = 0;
    LSoundSource source_;
    LChannelLevels lastLevels_;
    LChannelLevels cueLevels_;
    LLoudnessReading lastLoudness_;
    // Measures the buffers heard; made by Start, used by the playback thread.
    std::unique_ptr<LLoudnessMeter> loudness_;
    std::vector<int32_t> heard_;
    std::vector<int32_t> scratch_;
    std::vector<uint8_t> memory_;
    std::unique_ptr<LWaveOut> wave_;
    int32_t samplesPerBuffer_ = 0;
    uint8_t channels_ = 1;
    int32_t rate_ = 11025;
    std::array<Entry, kBuffers> ring_;
    uint8_t nextBuffer_ = 0;
    int32_t countFail_ = 0;
};
