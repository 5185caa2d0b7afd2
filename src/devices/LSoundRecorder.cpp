#include "devices/LSoundRecorder.h"

#include <algorithm>

#include "core/ByteOrder.h"
#include "core/LSoundTime.h"
#include "devices/LAudioDevices.h"
#include "effects/LLoudnessMeter.h"

namespace {
constexpr int32_t kPreRollKeepMs = 450;
constexpr int32_t kStopKeepMs = 50;
// What a sink accepts: the 16-bit range, whose lowest value is exact.
constexpr int32_t kSinkMin = -0x80000;
constexpr int32_t kSinkMax = 0x7FFF0;

int8_t Loudest(const LChannelLevels& l)
{
    if (l.count == 0)
        return -127;
    return l.count == 1 ? l.level[0] : std::max(l.level[0], l.level[1]);
}
} // namespace

LSoundRecorder::LSoundRecorder() = default;

LSoundRecorder::~LSoundRecorder()
{
    Stop();
    StopThreadTimed(5000);
}

int32_t LSoundRecorder::FramesPerBuffer(int32_t rate) { return std::clamp(rate / 10, 20, 8192); }

int32_t LSoundRecorder::DcFactor(int32_t rate) { return rate > 0 ? 192000 / rate + 1 : 1; }

int32_t LSoundRecorder::SinkMs() const
{
    LSoundTime t;
    t.SetSamples(int32_t(sink_->GetPosition()), sink_->GetSampleRate());
    return t.GetMs();
}

int32_t LSoundRecorder::Frames(int32_t ms) const { return LSoundTime(ms).GetSamples(sink_->GetSampleRate()); }

void LSoundRecorder::Post()
{
    if (!posted_.exchange(true))
        Notify();
}

bool LSoundRecorder::Start(LSoundSink sink, uint16_t flags, int32_t maxTimeMs, int32_t startThresholdDb,
                           int32_t silenceTimeMs)
{
    Stop();
    if (!sink || sink->IsError())
        return false;
    sink_ = std::move(sink);
    {
        std::lock_guard lock(levelsLock_);
        levels_ = LChannelLevels{};
        levels_.count = sink_->GetChannels();
        for (size_t c = 0; c < levels_.count; ++c)
            levels_.level[c] = -127;
        loudnessReading_ = LLoudnessReading{};
    }
    maxTime_ = maxTimeMs;
    startThreshold_ = int8_t(std::clamp(startThresholdDb, -127, 127));
    stopThreshold_ = int8_t(std::clamp(startThresholdDb - 4, -127, 127));
    silenceTime_ = silenceTimeMs;
    lastLoud_.store(SinkMs());
    notifyStop_.store(false);
    deviceLost_.store(false);
    writeFailed_.store(false);
    writeErrno_.store(0);
    levelsChanged_.store(false);
    stateChanged_.store(false);
    state_.store((flags & kRecordAtOnce) ? kRecording : kWaiting);
    started_.Reset();
    if (flags & kPrepareOnly)
        go_.Reset();
    else
        go_.Set();
    LThread::Start(LThreadPriority::Normal);
    started_.WaitFor(1500);
    if (state_.load() == kIdle) {
        StopThreadTimed(5000);
        sink_.Reset();
        return false;
    }
    const bool waiting = state_.load() == kWaiting;
    if (waiting)
        notify->RecordWaiting(notifyCookie);
    else
        notify->RecordStarted(notifyCookie);
    notify->RecordPosition(lastLoud_.load(), notifyCookie);
    return true;
}

void LSoundRecorder::Stop()
{
    if (state_.load() == kIdle)
        return;
    StopThreadTimed(5000);
    // Trailing silence goes: the take ends 50 ms after its last loud block. After
    // a failed write everything the sink holds stays, as the user is told.
    const int32_t keep = lastLoud_.load() + kStopKeepMs;
    if (sink_ && !writeFailed_.load() && SinkMs() > keep)
        sink_->Seek(Frames(keep));
    sink_.Reset();
    lastLoud_.store(0);
    state_.store(kIdle);
    notify->RecordStopped(notifyCookie);
}

void LSoundRecorder::RemoveDc(int32_t* block, int32_t frames, int32_t channels, int32_t k, int64_t* dc)
{
    for (int32_t c = 0; c < channels; ++c) {
        int64_t a = dc[c];
        int32_t* x = block + c;
        for (int32_t f = 0; f < frames; ++f, x += channels) {
            const int64_t v = *x - (a >> 12);
            a += v * k;
            *x = int32_t(std::clamp<int64_t>(v, kSinkMin, kSinkMax));
        }
        dc[c] = a;
    }
}

void LSoundRecorder::Write(const int32_t* values, int32_t frames)
{
    if (frames <= 0 || writeFailed_.load())
        return;
    sink_->Write(values, frames);
    if (sink_->IsError()) {
        // The take ends at the first block the sink could not take, as at the
        // maximum time; the sink keeps what it had.
        writeErrno_.store(sink_->GetSystemError());
        writeFailed_.store(true);
        notifyStop_.store(true);
        Post();
    }
}

void LSoundRecorder::ProcessBlock(int32_t frames)
{
    if (writeFailed_.load())
        return;
    RemoveDc(block_.data(), frames, channels_, dcFactor_, dc_.data());
    LPeakLevels(block_.data(), frames, channels_, blockLevels_);
    loudness_->Add(block_.data(), frames);
    const LLoudnessReading reading{loudness_->Momentary(), loudness_->ShortTerm()};
    const int8_t loudest = Loudest(blockLevels_);
    const size_t values = size_t(frames) * size_t(channels_);
    if (state_.load() != kWaiting) {
        Write(block_.data(), frames);
        if (writeFailed_.load())
            return;
        const int32_t position = SinkMs();
        if (loudest < stopThreshold_ && position - lastLoud_.load() > silenceTime_) {
            sink_->Seek(Frames(lastLoud_.load() + kPreRollKeepMs));
            state_.store(kWaiting);
            std::copy_n(block_.begin(), values, preRoll_.begin());
            preRollFilled_ = true;
            stateChanged_.store(true);
        }
        if (loudest >= stopThreshold_)
            lastLoud_.store(position);
        if (maxTime_ > 0 && position > maxTime_)
            notifyStop_.store(true);
    } else if (loudest >= startThreshold_) {
        LChannelLevels firstHalf;
        LPeakLevels(block_.data(), frames / 2, channels_, firstHalf);
        if (Loudest(firstHalf) < startThreshold_ || !preRollFilled_) {
            Write(block_.data(), frames);
        } else {
            const int32_t half = frames_ / 2;
            Write(preRoll_.data() + size_t(half) * size_t(channels_), frames_ - half);
            Write(block_.data(), frames);
        }
        // The block that ended the wait is loud: a sound of one block is kept whole.
        lastLoud_.store(SinkMs());
        state_.store(kRecording);
        stateChanged_.store(true);
    } else {
        std::copy_n(block_.begin(), values, preRoll_.begin());
        preRollFilled_ = true;
    }
    {
        std::lock_guard lock(levelsLock_);
        levels_ = blockLevels_;
        loudnessReading_ = reading;
    }
    levelsChanged_.store(true);
    Post();
}

void LSoundRecorder::ThreadBody()
{
    rate_ = sink_->GetSampleRate();
    channels_ = std::max<int32_t>(1, sink_->GetChannels());
    const LWaveFormat format = LWaveFormat::Pcm16(rate_, uint16_t(channels_));
    wave_ = LAudioDevices::CreateWaveIn();
    if (!wave_->Open(format, device - 1, &deviceEvent_, false) && !wave_->Open(format, device - 1, &deviceEvent_, true)) {
        wave_.reset();
        state_.store(kIdle);
        started_.Set();
        return;
    }
    wave_->Stop();
    frames_ = FramesPerBuffer(rate_);
    dcFactor_ = DcFactor(rate_);
    dc_.assign(size_t(channels_), 0);
    block_.assign(size_t(frames_) * size_t(channels_), 0);
    preRoll_.assign(block_.size(), 0);
    preRollFilled_ = false;
    loudness_ = std::make_unique<LLoudnessMeter>(uint8_t(channels_), rate_,
                                                 LLoudnessMeter::kMomentary | LLoudnessMeter::kShortTerm);
    // (Its conversion buffer is made once, with the first block it measures.)
    const uint32_t bytes = uint32_t(frames_) * uint32_t(channels_) * 2;
    memory_.assign(size_t(kBuffers) * bytes, 0);
    for (int32_t b = 0; b < kBuffers; ++b) {
        LWaveHeader& h = headers_[size_t(b)];
        h.data = memory_.data() + size_t(b) * bytes;
        h.bufferLength = bytes;
        h.flags.store(0);
        wave_->Prepare(h);
        wave_->AddBuffer(h);
    }
    started_.Set();
    bool stopped = false;
    while (LEvent::WaitAny(StopEvent(), go_, 60000) != 1)
        if (StopRequested()) {
            stopped = true;
            break;
        }
    int32_t i = 0;
    if (!stopped) {
        wave_->Start();
        while (!StopRequested()) {
            deviceEvent_.Reset();
            LWaveHeader& h = headers_[size_t(i)];
            if (!h.IsDone()) {
                // A device that went away ends the recording as the maximum
                // time does; what it still holds comes back with the reset.
                // A take already ended by a failed write is not lost as well.
                if (!writeFailed_.load() && wave_->Lost() && !deviceLost_.exchange(true)) {
                    notifyStop_.store(true);
                    Post();
                }
                LEvent::WaitAny(StopEvent(), deviceEvent_, 200);
                continue;
            }
            const size_t values = size_t(frames_) * size_t(channels_);
            for (size_t v = 0; v < values; ++v)
                block_[v] = int32_t(int16_t(GetLE16(h.data + 2 * v))) * 16;
            h.flags.fetch_and(~kWhdrDone);
            wave_->AddBuffer(h);
            ProcessBlock(frames_);
            i = (i + 1) % kBuffers;
        }
    }
    wave_->Reset();
    if (state_.load() == kRecording) {
        // What the device still held goes in as it is; it counts as loud when it is.
        for (int32_t n = 0; n < kBuffers && headers_[size_t(i)].IsDone(); ++n, i = (i + 1) % kBuffers) {
            LWaveHeader& h = headers_[size_t(i)];
            const int32_t frames = int32_t(h.bytesRecorded / 2 / uint32_t(channels_));
            if (frames <= 0 || frames > frames_)
                continue;
            for (size_t v = 0; v < size_t(frames) * size_t(channels_); ++v)
                block_[v] = int32_t(int16_t(GetLE16(h.data + 2 * v))) * 16;
            Write(block_.data(), frames);
            LPeakLevels(block_.data(), frames, channels_, blockLevels_);
            if (Loudest(blockLevels_) >= stopThreshold_)
                lastLoud_.store(SinkMs());
        }
    }
    for (LWaveHeader& h : headers_)
        wave_->Unprepare(h);
    wave_->Close();
    wave_.reset();
    std::vector<uint8_t>().swap(memory_);
    notifyStop_.store(false);
    levelsChanged_.store(false);
    stateChanged_.store(false);
}

void LSoundRecorder::OnNotify()
{
    posted_.store(false);
    if (state_.load() == kIdle)
        return;
    if (notifyStop_.load()) {
        Stop();
        return;
    }
    if (levelsChanged_.exchange(false)) {
        LChannelLevels levels;
        LLoudnessReading loudness;
        {
            std::lock_guard lock(levelsLock_);
            levels = levels_;
            loudness = loudnessReading_;
        }
        notify->RecordPosition(lastLoud_.load(), notifyCookie);
        notify->RecordLevels(levels, notifyCookie);
        notify->RecordLoudness(loudness, notifyCookie);
    }
    if (stateChanged_.exchange(false)) {
        if (state_.load() == kWaiting)
            notify->RecordWaiting(notifyCookie);
        else
            notify->RecordStarted(notifyCookie);
    }
}
