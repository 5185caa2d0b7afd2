#include "core/LSRCConvertRate.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {
constexpr int32_t kBufferFrames = LSRCConvertRate::kBlock + LSRCConvertRate::kTaps;  // 8255

// Two doubles in one vector register (GCC and Clang vector extensions).
using Lanes = double __attribute__((vector_size(16)));
Lanes LoadLanes(const double* p)
{
    Lanes v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
} // namespace

LSRCConvertRate::LSRCConvertRate(LSoundSource upstream, int32_t targetRate, bool wideBand)
    : LSRCFilterBase(std::move(upstream))
{
    int32_t sourceRate = GetSampleRate();
    uint32_t amp = upstream_->GetMaxAmplitude();
    SetMaxAmplitude(amp <= 0x100000 ? amp * 2 : amp);
    SetSampleRate(targetRate);
    ratio_ = ConvertRatio::Design(sourceRate, GetSampleRate(), wideBand, kTaps);
    for (int32_t ch = 0; ch < GetChannels() && ch < 2; ++ch) {
        input_[ch].assign(kBufferFrames, 0);
        operands_[ch].assign(kBufferFrames, 0.0);
    }
    scratch_.resize(size_t(kBlock) * GetChannels());
    rows_.assign(size_t(ratio_.rows) * kRowStride, 0.0);
    for (int32_t r = 0; r < ratio_.rows; ++r)
        for (int32_t k = 0; k < kTaps; ++k)
            rows_[size_t(r) * kRowStride + size_t(k)] = double(ratio_.coefficients[size_t(r) * kTaps + size_t(k)]);
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
    for (int32_t ch = 0; ch < channels; ++ch)
        std::copy(input_[ch].begin(), input_[ch].end(), operands_[ch].begin());
    blockShift_ = shift;
    outShift_ = 15 - int32_t(shift);
    rounding_ = outShift_ > 0 ? (int64_t(1) << outShift_) >> 1 : 0;
    inIndex_ -= kBlock;
}

void LSRCConvertRate::Read(int32_t* buffer, int32_t frames)
{
    const int32_t channels = GetChannels();
    const int32_t d = ratio_.phases;
    // The exact step n/d as whole input frames plus a remainder in units of 1/d.
    const int32_t whole = ratio_.step / d;
    const int32_t part = ratio_.step % d;
    if (frames <= 0)
        return;
    if (GetError() != kSrcGood) {
        std::fill_n(buffer, size_t(frames) * size_t(channels), 0);
        position_ += frames;
        return;
    }
    for (int32_t f = 0; f < frames; ++f) {
        while (inIndex_ >= kBlock)
            Refill();
        const double* c = rows_.data() + size_t(ratio_.RowIndex(phase_)) * kRowStride;
        for (int32_t ch = 0; ch < channels; ++ch) {
            const double* x = operands_[ch].data() + inIndex_;
            // The block shift keeps every operand within 16 bits and the coefficients
            // within 17, so each product and each sum of 32 of them is an integer below
            // 2^53: in doubles they are exact whatever the order of the additions, and
            // two lanes at a time give the same sums as one.
            Lanes a[4] = {}, b[4] = {};
            for (int32_t k = 0; k < 32; k += 8)
                for (int32_t j = 0; j < 4; ++j)
                    a[j] += LoadLanes(c + k + 2 * j) * LoadLanes(x + k + 2 * j);
            for (int32_t k = 32; k < kRowStride; k += 8)
                for (int32_t j = 0; j < 4; ++j)
                    b[j] += LoadLanes(c + k + 2 * j) * LoadLanes(x + k + 2 * j);
            const Lanes sa = (a[0] + a[1]) + (a[2] + a[3]), sb = (b[0] + b[1]) + (b[2] + b[3]);
            int64_t sum = (int64_t(sa[0] + sa[1]) >> 1) + (int64_t(sb[0] + sb[1]) >> 1) + rounding_;
            int64_t out = outShift_ >= 0 ? sum >> outShift_ : sum * (int64_t(1) << -outShift_);
            buffer[size_t(f) * size_t(channels) + size_t(ch)] = int32_t(std::clamp<int64_t>(out, INT32_MIN, INT32_MAX));
        }
        inIndex_ += whole;
        phase_ += part;
        if (phase_ >= d) {
            phase_ -= d;
            ++inIndex_;
        }
    }
    position_ += frames;
}

int32_t LSRCConvertRate::GetLength()
{
    return int32_t(std::clamp<int64_t>(ratio_.OutputFrames(upstream_->GetLength()), INT32_MIN, INT32_MAX));
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
