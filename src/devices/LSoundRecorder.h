#pragma once
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "core/LEvent.h"
#include "core/LSoundSink.h"
#include "core/LThread.h"
#include "core/LThreadQueuedNotify.h"
#include "devices/LChannelLevels.h"
#include "devices/LLoudnessReading.h"
#include "devices/LSoundRecorderNotify.h"
#include "devices/LWaveOut.h"

class LLoudnessMeter;

// Records from a wave-in device into a sink. A recording thread keeps 30
// buffers of 100 ms (20..8192 frames) queued at the device, removes DC offset,
// measures per-channel peaks and the momentary and short-term loudness, and runs the two automatic modes: waiting for
// sound before recording (with up to 50 ms of what came before), and going
// back to waiting after a long silence (keeping 450 ms of it). The sink must
// treat a backwards Seek as the new end of the recording: that is how
// silences are trimmed. A sink that fails a write ends the recording there.
// Public operations, notifications and the destructor belong to the
// user-interface thread; the recording thread owns the device, the sink's
// writes and the trimming state while it runs, allocates nothing per block
// and only posts a notification.
class LSoundRecorder : public LThread, public LThreadQueuedNotify, public LSoundRecorderNotify {
public:
    enum : uint8_t { kIdle = 0, kWaiting = 1, kRecording = 2 };
    // Start flags.
    static constexpr uint16_t kPrepareOnly = 1;  // open and queue, but wait for Go
    static constexpr uint16_t kRecordAtOnce = 2; // record from the first block instead of waiting
    static constexpr int32_t kBuffers = 30;

    LSoundRecorder();
    ~LSoundRecorder() override;

    // Starts recording into `sink` (its rate and channels are the device's
    // format). A block whose loudest channel reaches `startThresholdDb` ends
    // waiting; quiet (below the threshold less 4 dB) for more than
    // `silenceTimeMs` returns to waiting; past `maxTimeMs` (0: no limit) of sink
    // position the recording stops. False, and idle, without a usable sink or device.
    bool Start(LSoundSink sink, uint16_t flags, int32_t maxTimeMs, int32_t startThresholdDb, int32_t silenceTimeMs);
    // After a kPrepareOnly start: the device starts now.
    void Go() { go_.Set(); }
    // Ends recording: trims the take to 50 ms after the last loud block,
    // releases the sink and sends RecordStopped; nothing when idle.
    void Stop();
    uint8_t GetState() const { return state_.load(); }
    // The last recording ended because its device went away; what it had
    // delivered was kept. Cleared by Start.
    bool DeviceLost() const { return deviceLost_.load(); }
    // The last recording ended because its sink could not take a block (a full
    // disk): everything written before that block was kept, untrimmed. Cleared by Start.
    bool WriteFailed() const { return writeFailed_.load(); }
    // The system's reason for that failure (an errno), 0 when the sink gave none.
    int32_t WriteErrno() const { return writeErrno_.load(); }

    // The recording's block size and DC factor, fixed by the sink's rate.
    static int32_t FramesPerBuffer(int32_t rate);
    static int32_t DcFactor(int32_t rate);

    // Input device number: 0 the default device, n >= 1 device n - 1.
    int32_t device = 0;
    LSoundRecorderNotify* notify = this;
    uint32_t notifyCookie = 0;

    // One block's processing as the recording thread does it, for the
    // benchmark and tests: DC removal with the running `dc` states (one per
    // channel, factor `k`) in place, then the per-channel peak levels.
    static void RemoveDc(int32_t* block, int32_t frames, int32_t channels, int32_t k, int64_t* dc);

protected:
    void ThreadBody() override;
    void OnNotify() override;

private:
    void ProcessBlock(int32_t frames);
    void Write(const int32_t* values, int32_t frames);
    int32_t SinkMs() const;
    int32_t Frames(int32_t ms) const;
    void Post();

    std::atomic<uint8_t> state_{kIdle};
    LSoundSink sink_;
    std::atomic<int32_t> lastLoud_{0};
    LEvent started_;
    LEvent go_;
    LEvent deviceEvent_;
    std::unique_ptr<LWaveIn> wave_;
    std::mutex levelsLock_;
    LChannelLevels levels_;
    LLoudnessReading loudnessReading_;
    int32_t maxTime_ = 0;
    int8_t startThreshold_ = -24;
    int8_t stopThreshold_ = -28;
    int32_t silenceTime_ = 0;
    std::atomic<bool> notifyStop_{false};
    std::atomic<bool> levelsChanged_{false};
    std::atomic<bool> stateChanged_{false};
    std::atomic<bool> posted_{false};
    std::atomic<bool> deviceLost_{false};
    std::atomic<bool> writeFailed_{false};
    std::atomic<int32_t> writeErrno_{0};

    // The thread's working memory, allocated before the device starts.
    int32_t rate_ = 44100;
    int32_t channels_ = 1;
    int32_t frames_ = 0;
    int32_t dcFactor_ = 1;
    std::vector<int64_t> dc_;
    std::vector<int32_t> block_;
    std::vector<int32_t> preRoll_;
    bool preRollFilled_ = false;
    std::vector<uint8_t> memory_;
    std::array<LWaveHeader, kBuffers> headers_;
    LChannelLevels blockLevels_;
    std::unique_ptr<LLoudnessMeter> loudness_;
};
