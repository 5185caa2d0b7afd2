#include "formats/LSRCMixDown.h"

#include <algorithm>
#include <cmath>

#include "formats/LMixDownMatrix.h"

namespace {
constexpr int32_t kWorkFrames = 4096;
constexpr int32_t kShift = 24;
}

LSRCMixDown::LSRCMixDown(LSoundSource upstream, uint64_t channelMask)
    : LSRCFilterBase(std::move(upstream)), inChannels_(upstream_->GetChannels())
{
    SetChannels(2);
    std::vector<double> matrix;
    if (!LMixDownMatrix(inChannels_, channelMask, matrix)) {
        const int32_t left = (inChannels_ + 1) / 2, right = inChannels_ / 2;
        matrix.assign(size_t(2) * size_t(inChannels_), 0.0);
        for (int32_t c = 0; c < inChannels_; ++c)
            matrix[size_t(c % 2) * size_t(inChannels_) + size_t(c)] = 1.0 / (c % 2 ? right : left);
    }
    weights_.resize(matrix.size());
    for (size_t i = 0; i < matrix.size(); ++i)
        weights_[i] = std::llround(matrix[i] * double(int64_t(1) << kShift));
    work_.resize(size_t(kWorkFrames) * size_t(inChannels_));
}

void LSRCMixDown::Read(int32_t* buffer, int32_t frames)
{
    const int64_t* left = weights_.data();
    const int64_t* right = weights_.data() + inChannels_;
    const int64_t half = int64_t(1) << (kShift - 1);
    while (frames > 0) {
        const int32_t n = std::min(frames, kWorkFrames);
        upstream_->Read(work_.data(), n);
        const int32_t* in = work_.data();
        for (int32_t f = 0; f < n; ++f, in += inChannels_) {
            int64_t l = half, r = half;
            for (int32_t c = 0; c < inChannels_; ++c) {
                l += in[c] * left[c];
                r += in[c] * right[c];
            }
            buffer[2 * f] = int32_t(l >> kShift);
            buffer[2 * f + 1] = int32_t(r >> kShift);
        }
        buffer += 2 * size_t(n);
        frames -= n;
    }
}

LSoundSource LSRCMixDown::Wrap(LSoundSource source, uint64_t channelMask)
{
    if (source->GetChannels() <= 2 || source->GetError() != kSrcGood)
        return source;
    return MakeSource<LSRCMixDown>(std::move(source), channelMask);
}
