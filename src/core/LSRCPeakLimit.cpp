#include "core/LSRCPeakLimit.h"

#include <algorithm>
#include <cstdlib>

#include "core/Q24.h"

LSRCPeakLimit::LSRCPeakLimit(LSoundSource upstream, uint32_t limit)
    : LSRCFilterBase(std::move(upstream)), limit_(std::min<uint32_t>(limit, 0x3FFFFF))
{
    SetMaxAmplitude(limit_);
    blockFrames_ = std::clamp(GetSampleRate() / 35, 20, 8192);
    for (auto& b : blocks_)
        b.resize(size_t(blockFrames_) * GetChannels());
    blockPos_ = 3 * blockFrames_;
}

int32_t LSRCPeakLimit::BlockGain(const int32_t* block) const
{
    int32_t hi = 0, lo = 0;
    const size_t count = size_t(blockFrames_) * GetChannels();
    for (size_t i = 0; i < count; ++i) {
        hi = std::max(hi, block[i]);
        lo = std::min(lo, block[i]);
    }
    // Two's-complement PCM reaches one step further below zero than above: under
    // the 16-bit ceiling 0x7FFF0, -0x80000 is -32768 itself, not an overload, and a
    // block that merely touches negative full scale must pass unchanged.
    const uint32_t below = uint32_t(std::max<int64_t>(-int64_t(lo) - kNegativeExtra, 0));
    const uint32_t peak = std::max(uint32_t(hi), below);
    if (peak <= limit_)
        return kQ24Unity;
    return int32_t(((limit_ << 9) / ((peak + 64) >> 6)) << 9);
}

void LSRCPeakLimit::Ramp()
{
    int32_t toMin = std::min(gainCur_, gainNext_) - gain_;
    int32_t toAverage = int32_t((int64_t(gainPrev_) + gainCur_ + gainNext_ + gainAfter_) / 4) - gain_;
    int32_t delta = std::min(toMin, toAverage);
    step_ = delta / blockFrames_;
    gain_ += delta % blockFrames_;
}

void LSRCPeakLimit::FirstFill()
{
    for (auto& b : blocks_)
        upstream_->Read(b.data(), blockFrames_);
    gainCur_ = gainPrev_ = BlockGain(blocks_[0].data());
    gainNext_ = BlockGain(blocks_[1].data());
    gainAfter_ = BlockGain(blocks_[2].data());
    gain_ = gainCur_;
    blockPos_ = 0;
    Ramp();
}

void LSRCPeakLimit::NextBlock()
{
    std::swap(blocks_[0], blocks_[1]);
    std::swap(blocks_[1], blocks_[2]);
    upstream_->Read(blocks_[2].data(), blockFrames_);
    gainPrev_ = gainCur_;
    gainCur_ = gainNext_;
    gainNext_ = gainAfter_;
    gainAfter_ = BlockGain(blocks_[2].data());
    blockPos_ = 0;
    Ramp();
}

void LSRCPeakLimit::Read(int32_t* buffer, int32_t frames)
{
    const int32_t channels = GetChannels();
    if (blockPos_ >= 3 * blockFrames_)
        FirstFill();
    while (frames > 0) {
        if (blockPos_ >= blockFrames_)
            NextBlock();
        int32_t n = std::min(frames, blockFrames_ - blockPos_);
        const int32_t* src = blocks_[0].data() + size_t(blockPos_) * size_t(channels);
        if (gain_ >= kQ24Unity && step_ == 0) {
            std::copy_n(src, size_t(n) * size_t(channels), buffer);
        } else {
            for (int32_t f = 0; f < n; ++f) {
                for (int32_t ch = 0; ch < channels; ++ch)
                    buffer[f * channels + ch] = Q24Mul(src[f * channels + ch], gain_);
                gain_ += step_;
            }
        }
        buffer += size_t(n) * size_t(channels);
        frames -= n;
        blockPos_ += n;
    }
}

int32_t LSRCPeakLimit::GetPosition()
{
    int32_t ahead = blockPos_ >= 3 * blockFrames_ ? 0 : 3 * blockFrames_ - blockPos_;
    return upstream_->GetPosition() - ahead;
}

void LSRCPeakLimit::Seek(int32_t frame)
{
    upstream_->Seek(frame);
    blockPos_ = 3 * blockFrames_;
}
