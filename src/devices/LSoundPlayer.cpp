#include "devices/LSoundPlayer.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "core/ByteOrder.h"
#include "core/LSoundTime.h"
#include "core/LSourceProcessor.h"
#include "devices/LAudioDevices.h"
#include "devices/LDeviceLevel.h"
#include "effects/LLoudnessMeter.h"

namespace {
constexpr uint32_t kFullScale = 0x7FFF0;
constexpr uint8_t kPreRollBuffers = 42;
}

LSoundPlayer::LSoundPlayer() = default;

LSoundPlayer::~LSoundPlayer()
{
    Stop();
    StopThreadTimed(5000);
}

int32_t LSoundPlayer::Ms(int32_t frames) const
{
    LSoundTime t;
    t.SetSamples(frames, rate_);
    return t.GetMs();
}

void LSoundPlayer::Convert(const int32_t* values, size_t count, uint8_t* out) const
{
    for (size_t i = 0; i < count; ++i)
        PutLE16(out + 2 * i, uint16_t(LNativeTo16(values[i])));
}

void LSoundPlayer::Post()
{
    // Posts fold: one pending notification carries the latest of everything.
    if (!posted_.exchange(true))
        Notify();
}

void LSoundPlayer::SetVolumeDb(int32_t dB)
{
    volumeDb_ = std::clamp(dB, -127, 127);
    if (wave_)
        wave_->SetGain(LDbToGain(volumeDb_));
}

bool LSoundPlayer::Start(LSoundSource source, uint16_t flags)
{
    Stop();
    if (source->GetError() != kSrcGood)
        return false;
    LSoundSource s = LSPPeakLimit(kFullScale).OpenSource(source);
    if (s->GetError() != kSrcGood)
        return false;
    channels_ = std::max<uint8_t>(1, s->GetChannels());
    rate_ = s->GetSampleRate();
    const LWaveFormat format = LWaveFormat::Pcm16(rate_, channels_);
    wave_ = LAudioDevices::CreateWaveOut();
    if (!wave_->Open(format, device - 1, &bufferEvent_, false) && !wave_->Open(format, device - 1, &bufferEvent_, true)) {
        wave_.reset();
        return false;
    }
    wave_->SetGain(LDbToGain(volumeDb_));
    samplesPerBuffer_ = std::clamp(rate_ / 10, 20, 8192);
    const uint32_t capacity = uint32_t(channels_) * uint32_t(samplesPerBuffer_) * 2;
    scratch_.assign(size_t(channels_) * size_t(samplesPerBuffer_), 0);
    heard_.assign(scratch_.size(), 0);
    loudness_ = std::make_unique<LLoudnessMeter>(channels_, rate_, LLoudnessMeter::kMomentary | LLoudnessMeter::kShortTerm);
    lastLoudness_ = LLoudnessReading{};
    memory_.assign(size_t(kBuffers) * capacity, 0);
    for (int32_t i = 0; i < kBuffers; ++i) {
        Entry& e = ring_[size_t(i)];
        e.capacity = capacity;
        e.header.data = memory_.data() + size_t(i) * capacity;
        e.header.bufferLength = capacity;
        e.header.flags.store(0);
        e.header.loops = 0;
        e.levels.count = 0;
        wave_->Prepare(e.header);
        // Every buffer starts out returned and empty.
        e.header.flags.fetch_or(kWhdrDone);
        e.header.user = kNoPosition;
    }
    uint16_t state = kActive | kRaise;
    if (flags & (kStartPaused | kStartPreRoll)) {
        wave_->Pause();
        state |= (flags & kStartPaused) ? kPaused : kPreRoll;
    }
    state_.store(state);
    notifyStop_.store(false);
    positionChanged_.store(false);
    nextBuffer_ = 0;
    countFail_ = 0;
    position_ = s->GetPosition();
    // Read before the thread runs: it moves position_ on at once.
    const int32_t startMs = Ms(position_);
    source_ = s;
    LThread::Start(LThreadPriority::BelowNormal);
    if (flags & kStartPaused)
        notify->PlayPaused(notifyCookie);
    else
        notify->PlayStarted(notifyCookie);
    notify->PlayPosition(startMs, notifyCookie);
    return true;
}

void LSoundPlayer::Stop()
{
    if (state_.load() == 0)
        return;
    StopThreadTimed(5000);
    wave_->Reset();
    // A header the device still holds after the reset is retried for a second in all.
    int32_t budget = 1000;
    for (Entry& e : ring_)
        while (wave_->Unprepare(e.header) == LWaveResult::StillPlaying && budget > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            budget -= 50;
        }
    wave_->Close();
    wave_.reset();
    std::vector<uint8_t>().swap(memory_);
    std::vector<int32_t>().swap(scratch_);
    std::vector<int32_t>().swap(heard_);
    loudness_.reset();
    for (Entry& e : ring_)
        e.header.data = nullptr;
    source_.Reset();
    position_ = 0;
    samplesPerBuffer_ = 0;
    state_.store(0);
    notifyStop_.store(false);
    positionChanged_.store(false);
    notify->PlayStopped(notifyCookie);
}

void LSoundPlayer::CueBuffer()
{
    if (!(state_.load() & kActive))
        return;
    Entry& e = ring_[0];
    const int32_t q = (samplesPerBuffer_ + 3) / 4;
    source_->Read(scratch_.data(), q);
    const uint32_t quarter = uint32_t(q) * channels_ * 2;
    Convert(scratch_.data(), size_t(q) * channels_, e.header.data);
    // The rest of the buffer repeats the snippet: about four passes per 100 ms.
    for (uint32_t i = quarter; i < e.capacity; ++i)
        e.header.data[i] = e.header.data[i - quarter];
    e.header.bufferLength = e.capacity;
    e.header.user = uint32_t(source_->GetPosition());
    e.header.flags.store((e.header.flags.load() & ~kWhdrDone) | kWhdrBeginLoop | kWhdrEndLoop);
    e.header.loops = 0x7FFFFFFF;
    wave_->Write(e.header);
    nextBuffer_ = 1;
    LPowerLevels(scratch_.data(), q, channels_, cueLevels_);
}

void LSoundPlayer::Cue()
{
    const uint16_t state = state_.load();
    if (!(state & kActive))
        return;
    if (state & kCueing) {
        if (state & kPaused) {
            std::lock_guard lock(bufferLock_);
            wave_->Restart();
            state_.fetch_and(uint16_t(~kPaused));
        }
        return;
    }
    int32_t position;
    {
        std::lock_guard lock(bufferLock_);
        wave_->Reset();
        for (Entry& e : ring_)
            e.header.user = kNoPosition;
        source_->Seek(position_);
        position_ = source_->GetPosition();
        position = position_;
        // The flags first, so the thread sees the loop state with the loop buffer.
        state_.store(kActive | kCueing | kRaise);
        CueBuffer();
        notifyStop_.store(false);
        positionChanged_.store(false);
    }
    notify->PlayCued(notifyCookie);
    notify->PlayPosition(Ms(position), notifyCookie);
    notify->PlayLevels(cueLevels_, notifyCookie);
}

void LSoundPlayer::Play()
{
    if (!(state_.load() & kActive))
        return;
    {
        std::lock_guard lock(bufferLock_);
        if (state_.load() & kCueing) {
            wave_->BreakLoop();
            state_.fetch_and(uint16_t(~kCueing));
        }
        if (state_.load() & kPaused) {
            wave_->Restart();
            state_.fetch_and(uint16_t(~kPaused));
        }
    }
    notify->PlayStarted(notifyCookie);
}

void LSoundPlayer::Seek(int32_t frame)
{
    if (!(state_.load() & kActive))
        return;
    int32_t position;
    bool cued = false;
    {
        std::lock_guard lock(bufferLock_);
        wave_->Reset();
        for (Entry& e : ring_)
            e.header.user = kNoPosition;
        source_->Seek(frame);
        position_ = source_->GetPosition();
        position = position_;
        if (state_.load() & kPaused)
            wave_->Pause();
        if (state_.load() & kCueing) {
            CueBuffer();
            cued = true;
        } else {
            nextBuffer_ = 0;
        }
        state_.fetch_or(kRaise);
        notifyStop_.store(false);
        positionChanged_.store(false);
    }
    notify->PlayPosition(Ms(position), notifyCookie);
    if (cued)
        notify->PlayLevels(cueLevels_, notifyCookie);
}

void LSoundPlayer::ThreadBody()
{
    for (;;) {
        if (StopRequested())
            break;
        bufferEvent_.Reset();
        std::unique_lock lock(bufferLock_);
        Entry& e = ring_[nextBuffer_];
        if (!e.header.IsDone()) {
            // Every buffer is queued now. Raising the thread's priority back is
            // not allowed on Linux; the 64 buffers are the slack instead.
            state_.fetch_and(uint16_t(~kRaise));
            if (++countFail_ > kBuffers) {
                // The loop buffer never comes back while it loops.
                if (state_.load() & kCueing) {
                    countFail_ = 0;
                } else {
                    notifyStop_.store(true);
                    Post();
                }
            }
            lock.unlock();
            if (LEvent::WaitAny(StopEvent(), bufferEvent_, 150) == 0)
                break;
            continue;
        }
        countFail_ = 0;
        if (e.header.user != kNoPosition) {
            position_ = int32_t(e.header.user);
            lastLevels_ = e.levels;
            MeasureHeard(e);
            positionChanged_.store(true);
            Post();
        }
        const int32_t p = source_->GetPosition();
        const int64_t remaining = int64_t(source_->GetLength()) - p;
        if (remaining > 0) {
            const int32_t n = int32_t(std::min<int64_t>(remaining, samplesPerBuffer_));
            source_->Read(scratch_.data(), n);
            Convert(scratch_.data(), size_t(n) * channels_, e.header.data);
            e.header.bufferLength = uint32_t(n) * channels_ * 2;
            e.header.user = uint32_t(p + n);
            e.header.flags.fetch_and(~(kWhdrDone | kWhdrBeginLoop | kWhdrEndLoop));
            wave_->Write(e.header);
            LPowerLevels(scratch_.data(), n, channels_, e.levels);
        } else {
            e.header.user = kNoPosition;
            const bool allDone = std::all_of(ring_.begin(), ring_.end(), [](const Entry& x) { return x.header.IsDone(); });
            if (allDone) {
                // The buffers after this one came back too, unvisited: they were
                // heard, so the final read-out includes them, in the order played.
                for (int32_t k = 1; k < kBuffers; ++k) {
                    Entry& later = ring_[size_t((nextBuffer_ + k) % kBuffers)];
                    if (later.header.user != kNoPosition) {
                        MeasureHeard(later);
                        later.header.user = kNoPosition;
                    }
                }
                notifyStop_.store(true);
                Post();
                break;
            }
        }
        nextBuffer_ = uint8_t((nextBuffer_ + 1) % kBuffers);
        if (nextBuffer_ == kPreRollBuffers && (state_.load() & kPreRoll)) {
            state_.fetch_and(uint16_t(~kPreRoll));
            wave_->Restart();
        }
    }
    std::lock_guard lock(bufferLock_);
    wave_->Reset();
}

void LSoundPlayer::OnNotify()
{
    posted_.store(false);
    if (state_.load() == 0)
        return;
    if (notifyStop_.load()) {
        int32_t length;
        LLoudnessReading loudness;
        {
            std::lock_guard lock(bufferLock_);
            length = source_->GetLength();
            loudness = lastLoudness_;
        }
        notify->PlayPosition(Ms(length), notifyCookie);
        notify->PlayLoudness(loudness, notifyCookie);
        if (notifyStop_.load())
            Stop();
        return;
    }
    if (positionChanged_.exchange(false)) {
        int32_t position;
        LChannelLevels levels;
        LLoudnessReading loudness;
        {
            std::lock_guard lock(bufferLock_);
            position = position_;
            levels = lastLevels_;
            loudness = lastLoudness_;
        }
        notify->PlayPosition(Ms(position), notifyCookie);
        notify->PlayLevels(levels, notifyCookie);
        notify->PlayLoudness(loudness, notifyCookie);
    }
}

void LSoundPlayer::MeasureHeard(const Entry& e)
{
    // The scrub loop's buffer repeats one snippet: not programme to measure.
    if (!loudness_ || (e.header.flags.load() & kWhdrBeginLoop))
        return;
    // The 16-bit samples the device played, back at the stream's scale: what
    // the level meter shows is what the read-out measures.
    const int32_t frames = int32_t(std::min<size_t>(e.header.bufferLength / 2 / channels_, size_t(samplesPerBuffer_)));
    for (size_t i = 0; i < size_t(frames) * channels_; ++i)
        heard_[i] = int32_t(int16_t(GetLE16(e.header.data + 2 * i))) * 16;
    loudness_->Add(heard_.data(), frames);
    lastLoudness_ = {loudness_->Momentary(), loudness_->ShortTerm()};
}
