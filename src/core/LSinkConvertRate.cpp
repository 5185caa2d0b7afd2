#include "core/LSinkConvertRate.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr int32_t kLead = 7;
constexpr int32_t kTail = 8;
}

LSoundSink LSinkConvertRateBase::OpenSink(int32_t rate, LSoundSink next)
{
    int32_t nextRate = next ? next->GetSampleRate() : 44100;
    if (nextRate == rate)
        return next;
    // A reduction too steep for one 15-tap step goes through a converter that
    // accepts twice the final rate first.
    if (next && rate > 0 && !ConvertRatio::CutoffFits(rate, nextRate, false, kTaps))
        return OpenSink(rate, MakeSink<LSinkConvertRateBase>(nextRate * 2, std::move(next)));
    return MakeSink<LSinkConvertRateBase>(rate, std::move(next));
}

LSinkConvertRateBase::LSinkConvertRateBase(int32_t rate, LSoundSink next)
    : LSoundSinkBase(rate, next ? next->GetChannels() : 1), next_(std::move(next))
{
    if (!next_ || next_->IsError())
        SetError(next_ ? next_->GetSystemError() : 0);
    ratio_ = ConvertRatio::Design(GetSampleRate(), next_ ? next_->GetSampleRate() : 44100, false, kTaps);
    input_.resize(size_t(kBlock + kTaps) * GetChannels());
    output_.resize(size_t(kBlock) * GetChannels());
    Reset();
}

LSinkConvertRateBase::~LSinkConvertRateBase() { Finish(); }

bool LSinkConvertRateBase::Finish()
{
    if (StartFinishing()) {
        // Push out the frames still waiting for their right-hand filter taps.
        static const int32_t zeros[2 * kTail] = {};
        Append(zeros, kTail, true);
        Process();
        if (next_ && !next_->Finish())
            SetError(next_->GetSystemError());
    }
    return !IsError();
}

void LSinkConvertRateBase::Reset()
{
    phase_ = 0;
    skip_ = 0;
    inputCount_ = uint32_t(kLead * GetChannels());
    std::fill(input_.begin(), input_.begin() + inputCount_, 0);
}

void LSinkConvertRateBase::Append(const int32_t* buffer, int32_t frames, bool raw)
{
    const int32_t channels = GetChannels();
    if (skip_ > 0) {
        int32_t dropped = std::min(skip_, frames);
        skip_ -= dropped;
        buffer += size_t(dropped) * size_t(channels);
        frames -= dropped;
    }
    int32_t* dst = input_.data() + inputCount_;
    for (int32_t i = 0; i < frames * channels; ++i)
        dst[i] = raw ? buffer[i] : buffer[i] >> 4;
    inputCount_ += uint32_t(frames * channels);
}

void LSinkConvertRateBase::Write(const int32_t* buffer, int32_t frames)
{
    position_ += uint32_t(std::max(frames, 0));
    const int32_t channels = GetChannels();
    while (frames > 0) {
        int32_t n = std::min(frames, kBlock);
        Append(buffer, n, false);
        Process();
        buffer += size_t(n) * size_t(channels);
        frames -= n;
    }
}

void LSinkConvertRateBase::Process()
{
    const int32_t channels = GetChannels();
    const int32_t available = int32_t(inputCount_ / uint32_t(channels)) - kTaps;
    const uint32_t d = uint32_t(ratio_.phases);
    // The exact step n/d as whole input frames plus a remainder in units of 1/d.
    const int32_t whole = ratio_.step / ratio_.phases;
    const uint32_t part = uint32_t(ratio_.step % ratio_.phases);
    int32_t i = 0;
    int32_t o = 0;
    while (i < available) {
        if (o == kBlock) {
            if (next_)
                next_->Write(output_.data(), o);
            o = 0;
        }
        const int32_t* c = ratio_.Row(int32_t(phase_));
        for (int32_t ch = 0; ch < channels; ++ch) {
            const int32_t* x = input_.data() + size_t(i) * size_t(channels) + size_t(ch);
            int64_t a = 0, b = 0;
            for (int32_t k = 0; k < 8; ++k)
                a += int64_t(c[k]) * x[size_t(k) * size_t(channels)];
            for (int32_t k = 8; k < kTaps; ++k)
                b += int64_t(c[k]) * x[size_t(k) * size_t(channels)];
            int64_t out = ((a >> 1) + (b >> 1) + 1024) >> 11;
            output_[size_t(o) * size_t(channels) + size_t(ch)] = int32_t(std::clamp<int64_t>(out, INT32_MIN, INT32_MAX));
        }
        ++o;
        i += whole;
        phase_ += part;
        if (phase_ >= d) {
            phase_ -= d;
            ++i;
        }
    }
    if (o > 0 && next_)
        next_->Write(output_.data(), o);
    if (next_ && next_->IsError())
        SetError(next_->GetSystemError());
    int32_t keepFrom = std::max(i, 0);
    int32_t end = available + kTaps;
    if (keepFrom > end) {
        skip_ += keepFrom - end;
        keepFrom = end;
    }
    int32_t keep = (end - keepFrom) * channels;
    std::memmove(input_.data(), input_.data() + size_t(keepFrom) * size_t(channels), size_t(keep) * sizeof(int32_t));
    inputCount_ = uint32_t(keep);
}

void LSinkConvertRateBase::Seek(int32_t frame)
{
    static const int32_t zeros[2 * kTail] = {};
    Append(zeros, kTail, true);
    Process();
    if (next_) {
        next_->Seek(frame);
        position_ = next_->GetPosition();
    }
    Reset();
}
