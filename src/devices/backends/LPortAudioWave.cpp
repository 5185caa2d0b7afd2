// PortAudio streams behind the wave ports. The callback only copies between
// the queued buffers and PortAudio's and gives finished buffers back: it
// allocates nothing, takes no lock and never waits. A stream runs only while buffers are
// queued: when the queue runs dry the callback completes the stream and the
// next buffer starts it again, so a clockless device never spins on silence.
#include <portaudio.h>

#include <algorithm>
#include <cstring>
#include <mutex>

#include "devices/LQueuedWaveDevice.h"
#include "devices/backends/LPortAudio.h"
#include "devices/backends/LPortAudioSession.h"

namespace {

// Opens `device`, or with `mapped` the default device when that one refuses.
PaStream* OpenStream(bool output, const LWaveFormat& format, int32_t device, bool mapped, PaStreamCallback* callback,
                     void* user)
{
    for (int32_t attempt = 0; attempt < (mapped && device >= 0 ? 2 : 1); ++attempt) {
        const PaDeviceIndex index = LPortAudioSession::DeviceIndex(output, attempt == 0 ? device : -1);
        const PaDeviceInfo* info = index >= 0 ? Pa_GetDeviceInfo(index) : nullptr;
        if (!info)
            continue;
        PaStreamParameters p{};
        p.device = index;
        p.channelCount = format.channels;
        p.sampleFormat = paInt16;
        // The clients keep seconds of buffers queued; a generous latency costs nothing.
        p.suggestedLatency = output ? info->defaultHighOutputLatency : info->defaultHighInputLatency;
        PaStream* stream = nullptr;
        if (Pa_OpenStream(&stream, output ? nullptr : &p, output ? &p : nullptr, format.rate,
                          paFramesPerBufferUnspecified, paNoFlag, callback, user) == paNoError) {
            LPortAudioSession::StreamOpened();
            return stream;
        }
    }
    return nullptr;
}

// Starts a stream that is stopped or has completed.
void StartStream(PaStream* stream)
{
    if (Pa_IsStreamStopped(stream) == 0)
        Pa_StopStream(stream);
    Pa_StartStream(stream);
}

class LPaWaveOut : public LQueuedWaveOut {
public:
    ~LPaWaveOut() override { Close(); }

protected:
    bool OpenDevice(const LWaveFormat& format, int32_t device, bool mapped) override
    {
        if (format.bits != 16)
            return false;
        running_.store(false);
        stream_ = OpenStream(true, format, device, mapped, &Callback, this);
        return stream_ != nullptr;
    }
    void CloseDevice() override
    {
        std::lock_guard lock(control_);
        Pa_AbortStream(stream_);
        Pa_CloseStream(stream_);
        LPortAudioSession::StreamClosed();
        stream_ = nullptr;
        running_.store(false);
    }
    void Wake() override
    {
        if (paused_.load() || queue_.IsEmpty() || running_.exchange(true))
            return;
        std::lock_guard lock(control_);
        StartStream(stream_);
    }
    void Halt(bool drop) override
    {
        std::lock_guard lock(control_);
        running_.store(false);
        if (drop)
            Pa_AbortStream(stream_);
        else
            Pa_StopStream(stream_);
    }

private:
    static int Callback(const void*, void* out, unsigned long frames, const PaStreamCallbackTimeInfo*,
                        PaStreamCallbackFlags, void* user)
    {
        return static_cast<LPaWaveOut*>(user)->Play(static_cast<uint8_t*>(out), uint32_t(frames));
    }

    int Play(uint8_t* out, uint32_t frames)
    {
        const uint32_t bytes = frames * format_.BlockAlign();
        const uint32_t n = paused_.load() ? 0 : Render(out, bytes);
        std::memset(out + n, 0, bytes - n);
        if (n == bytes || !queue_.IsEmpty())
            return paContinue;
        running_.store(false);
        // A buffer queued meanwhile may have seen the stream still running.
        if (!queue_.IsEmpty() && !running_.exchange(true))
            return paContinue;
        return paComplete;
    }

    PaStream* stream_ = nullptr;
    std::mutex control_;
    std::atomic<bool> running_{false};
};

class LPaWaveIn : public LQueuedWaveIn {
public:
    ~LPaWaveIn() override { Close(); }

protected:
    bool OpenDevice(const LWaveFormat& format, int32_t device, bool mapped) override
    {
        if (format.bits != 16)
            return false;
        running_.store(false);
        stream_ = OpenStream(false, format, device, mapped, &Callback, this);
        return stream_ != nullptr;
    }
    void CloseDevice() override
    {
        std::lock_guard lock(control_);
        Pa_AbortStream(stream_);
        Pa_CloseStream(stream_);
        LPortAudioSession::StreamClosed();
        stream_ = nullptr;
        running_.store(false);
    }
    void Wake() override
    {
        if (!started_.load() || queue_.IsEmpty() || running_.exchange(true))
            return;
        std::lock_guard lock(control_);
        StartStream(stream_);
    }
    void Halt(bool) override
    {
        std::lock_guard lock(control_);
        running_.store(false);
        Pa_AbortStream(stream_);
    }
    // A stream that should be running but is not (or reports an error) has
    // lost its device.
    bool Lost() const override
    {
        std::lock_guard lock(control_);
        return stream_ && started_.load() && running_.load() && Pa_IsStreamActive(stream_) != 1;
    }

private:
    static int Callback(const void* in, void*, unsigned long frames, const PaStreamCallbackTimeInfo*,
                        PaStreamCallbackFlags, void* user)
    {
        return static_cast<LPaWaveIn*>(user)->Record(static_cast<const uint8_t*>(in), uint32_t(frames));
    }

    int Record(const uint8_t* in, uint32_t frames)
    {
        if (!started_.load() || !in)
            return paContinue;
        const uint32_t bytes = frames * format_.BlockAlign();
        const uint32_t n = queue_.Fill(in, bytes);
        if (n == bytes || !queue_.IsEmpty())
            return paContinue;
        // No buffer left: what does not fit is lost, as on any overrun, and the
        // stream rests until the client adds a buffer again.
        running_.store(false);
        if (!queue_.IsEmpty() && !running_.exchange(true))
            return paContinue;
        return paComplete;
    }

    PaStream* stream_ = nullptr;
    mutable std::mutex control_;
    std::atomic<bool> running_{false};
};

} // namespace

std::unique_ptr<LWaveOut> LPortAudio::CreateWaveOut() { return std::make_unique<LPaWaveOut>(); }
std::unique_ptr<LWaveIn> LPortAudio::CreateWaveIn() { return std::make_unique<LPaWaveIn>(); }
