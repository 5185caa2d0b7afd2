#include "core/LSRCConvertRate.h"

#include <algorithm>
#include <cstdlib>

namespace {
constexpr int32_t kBufferFrames = LSRCConvertRate::kBlock + LSRCConvertRate::kTaps;  // 8255
}

LSRCConvertRate::LSRCConvertRate(LSoundSource upstream, int32_t targetRate, bool wideBand)
    : LSRCFilterBase(std::move(upstream))
{
    int32_t sourceRate = GetSampleRate();
    uint32_t amp = upstream_->GetMaxAmplitude();
    SetMaxAmplitude(amp <= 0x100000 ? amp * 2 : amp);
    SetSampleRate(targetRate);
    ratio_ = ConvertRatio::Design(sourceRate, GetSampleRate(), wideBand, kTaps);
    for (int32_t ch = 0; ch < GetChannels() && ch < 2; ++ch)
        input_[ch].assign(kBufferFrames, 0);
    scratch_.resize(size_t(kBlock) * GetChannels());
}

void LSRCConvertRate::Refill()
{
    const int32_t channels = GetChannels();
    // Keep the last 63 frames as history, undoing the previous block's shift.
    for (int32_t ch = 0; ch < channels; ++ch) {
        int32_t* x = input_[ch].data();
        for (int32_t i = 0; i < kTaps; ++i)
            x[i] = int32_t(uint32_t(x[kBlock + i]) << blockShift_);
    }
    upstream_->Read(scratch_.data(), kBlock);
    uint32_t peak = 0;
    for (int32_t ch = 0; ch < channels; ++ch) {
        int32_t* x = input_[ch].data();
        const int32_t* s = scratch_.data() + ch;
        for (int32_t i = 0; i < kBlock; ++i)
            x[kTaps + i] = s[size_t(i) * size_t(channels)];
        for (int32_t i = 0; i < kBufferFrames; ++i)
            peak = std::max(peak, uint32_t(std::abs(int64_t(x[i]))));
    }
    uint8_t shift = 0;
    while ((peak >> shift) >= 32768)
        ++shift;
    if (shift > 0) {
        int64_t half = int64_t(1) << (shift - 1);
        for (int32_t ch = 0; ch < channels; ++ch)
            for (int32_t& v : input_[ch])
                v = int32_t((int64_t(v) + half) >> shift);
    }
    blockShift_ = shift;
    outShift_ = 15 - int32_t(shift);
    rounding_ = outShift_ > 0 ? (int64_t(1) << outShift_) >> 1 : 0;
    inIndex_ -= kBlock;
}

void LSRCConvertRate::Read(int32_t* buffer, int32_t frames)
{
    const int32_t channels = GetChannels();
    const int32_t d = ratio_.phases;
    const int32_t n = ratio_.step;
    if (frames <= 0)
        return;
    if (GetError() != kSrcGood) {
        std::fill_n(buffer, size_t(frames) * size_t(channels), 0);
        position_ += frames;
        return;
    }
    for (int32_t f = 0; f < frames; ++f) {
        inIndex_ += phase_ / d;
        phase_ %= d;
        while (inIndex_ >= kBlock)
            Refill();
        const int32_t* c = ratio_.Row(phase_);
        for (int32_t ch = 0; ch < channels; ++ch) {
            const int32_t* x = input_[ch].data() + inIndex_;
            // Operands fit 16 bits by the block shift, so each product fits 32 bits;
            // the sums are kept in 64 bits so that a pathological block cannot wrap.
            int64_t a = 0, b = 0;
            for (int32_t k = 0; k < 32; ++k)
                a += c[k] * x[k];
            for (int32_t k = 32; k < kTaps; ++k)
                b += c[k] * x[k];
            int64_t sum = (a >> 1) + (b >> 1) + rounding_;
            int64_t out = outShift_ >= 0 ? sum >> outShift_ : sum * (int64_t(1) << -outShift_);
            buffer[size_t(f) * size_t(channels) + size_t(ch)] = int32_t(std::clamp<int64_t>(out, INT32_MIN, INT32_MAX));
        }
        phase_ += n;
    }
    position_ += frames;
}

int32_t LSRCConvertRate::GetLength()
{
    int64_t length = upstream_->GetLength();
    int64_t n = ratio_.step, d = ratio_.phases;
    int64_t out = length / n * d + ((length % n) * d) / n;
    return int32_t(std::clamp<int64_t>(out, INT32_MIN, INT32_MAX));
}

void LSRCConvertRate::Seek(int32_t frame)
{
    const int32_t channels = GetChannels();
    int64_t n = ratio_.step, d = ratio_.phases;
    // Floor division keeps negative positions on the same grid as positive ones.
    int64_t total = int64_t(frame) * n;
    int64_t whole = total >= 0 ? total / d : -((-total + d - 1) / d);
    int64_t u = whole - 31;
    upstream_->Seek(int32_t(std::clamp<int64_t>(u, INT32_MIN, INT32_MAX)));
    phase_ = int32_t(total - whole * d);
    inIndex_ = kBlock;
    upstream_->Read(scratch_.data(), kTaps);
    for (int32_t ch = 0; ch < channels; ++ch)
        for (int32_t i = 0; i < kTaps; ++i)
            input_[ch][size_t(kBlock + i)] = scratch_[size_t(i) * size_t(channels) + size_t(ch)];
    blockShift_ = 0;
    position_ = frame;
}
