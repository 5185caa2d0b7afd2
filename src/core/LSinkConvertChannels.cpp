#include "core/LSinkConvertChannels.h"

#include <algorithm>

#include "core/SampleConvert.h"

namespace {
constexpr int32_t kWorkFrames = 8192;
}

LSoundSink LSinkConvertChannels::OpenSink(int32_t channels, LSoundSink next)
{
    int32_t nextChannels = next ? next->GetChannels() : 1;
    if (nextChannels == channels)
        return next;
    if (channels == 2 && nextChannels == 1)
        return MakeSink<LSinkConvertStereoToMono>(std::move(next));
    if (channels == 1 && nextChannels == 2)
        return MakeSink<LSinkConvertMonoToStereo>(std::move(next));
    return {};
}

LSinkConvertStereoToMono::LSinkConvertStereoToMono(LSoundSink next)
    : LSoundSinkBase(next ? next->GetSampleRate() : 44100, 2), next_(std::move(next)), work_(kWorkFrames)
{
    if (!next_ || next_->IsError())
        SetError(next_ ? next_->GetSystemError() : 0);
}

void LSinkConvertStereoToMono::Write(const int32_t* buffer, int32_t frames)
{
    position_ += uint32_t(std::max(frames, 0));
    while (frames > 0) {
        int32_t n = std::min(frames, kWorkFrames);
        for (int32_t i = 0; i < n; ++i)
            work_[size_t(i)] = MixStereoToMono(buffer[2 * i], buffer[2 * i + 1]);
        if (next_) {
            next_->Write(work_.data(), n);
            if (next_->IsError())
                SetError(next_->GetSystemError());
        }
        buffer += 2 * n;
        frames -= n;
    }
}

bool LSinkConvertStereoToMono::Finish()
{
    if (StartFinishing() && next_ && !next_->Finish())
        SetError(next_->GetSystemError());
    return !IsError();
}

void LSinkConvertStereoToMono::Seek(int32_t frame)
{
    if (next_) {
        next_->Seek(frame);
        position_ = next_->GetPosition();
    }
}

LSinkConvertMonoToStereo::LSinkConvertMonoToStereo(LSoundSink next)
    : LSoundSinkBase(next ? next->GetSampleRate() : 44100, 1), next_(std::move(next)), work_(2 * kWorkFrames)
{
    if (!next_ || next_->IsError())
        SetError(next_ ? next_->GetSystemError() : 0);
}

void LSinkConvertMonoToStereo::Write(const int32_t* buffer, int32_t frames)
{
    position_ += uint32_t(std::max(frames, 0));
    while (frames > 0) {
        int32_t n = std::min(frames, kWorkFrames);
        for (int32_t i = 0; i < n; ++i)
            work_[size_t(2 * i)] = work_[size_t(2 * i + 1)] = buffer[i];
        if (next_) {
            next_->Write(work_.data(), n);
            if (next_->IsError())
                SetError(next_->GetSystemError());
        }
        buffer += n;
        frames -= n;
    }
}

bool LSinkConvertMonoToStereo::Finish()
{
    if (StartFinishing() && next_ && !next_->Finish())
        SetError(next_->GetSystemError());
    return !IsError();
}

void LSinkConvertMonoToStereo::Seek(int32_t frame)
{
    if (next_) {
        next_->Seek(frame);
        position_ = next_->GetPosition();
    }
}
