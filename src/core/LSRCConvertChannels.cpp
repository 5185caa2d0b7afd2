#include "core/LSRCConvertChannels.h"

#include <algorithm>

#include "core/SampleConvert.h"

namespace {
constexpr int32_t kWorkFrames = 8192;
}

LSRCConvertMonoToStereo::LSRCConvertMonoToStereo(LSoundSource upstream)
    : LSRCFilterBase(std::move(upstream)), work_(kWorkFrames)
{
    SetChannels(2);
}

void LSRCConvertMonoToStereo::Read(int32_t* buffer, int32_t frames)
{
    while (frames > 0) {
        int32_t n = std::min(frames, kWorkFrames);
        upstream_->Read(work_.data(), n);
        for (int32_t i = 0; i < n; ++i)
            buffer[2 * i] = buffer[2 * i + 1] = work_[size_t(i)];
        buffer += 2 * n;
        frames -= n;
    }
}

LSRCConvertStereoToMono::LSRCConvertStereoToMono(LSoundSource upstream)
    : LSRCFilterBase(std::move(upstream)), work_(2 * kWorkFrames)
{
    SetChannels(1);
}

void LSRCConvertStereoToMono::Read(int32_t* buffer, int32_t frames)
{
    while (frames > 0) {
        int32_t n = std::min(frames, kWorkFrames);
        upstream_->Read(work_.data(), n);
        for (int32_t i = 0; i < n; ++i)
            buffer[i] = MixStereoToMono(work_[size_t(2 * i)], work_[size_t(2 * i + 1)]);
        buffer += n;
        frames -= n;
    }
}
