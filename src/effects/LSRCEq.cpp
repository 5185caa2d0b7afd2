#include "effects/LSRCEq.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "effects/LEfArith.h"

namespace {

// The tap sums are the whole cost of the equalizer (2047 multiply-adds per
// value), so the kernel is built for several instruction sets and the best one
// the processor has is picked when the program loads. The sanitizer builds
// keep one plain version.
#if defined(__GNUC__) && defined(__x86_64__) && !defined(__SANITIZE_ADDRESS__)
#define KELVANE_FIR_CLONES \
    __attribute__((target_clones("arch=x86-64-v4", "arch=x86-64-v3", "arch=x86-64-v2", "default")))
#else
#define KELVANE_FIR_CLONES
#endif

// Sums for `count` consecutive outputs. Output i is centred on fwd[i]; its
// mirror run starts at rev[-i] (the scaled plane reversed), so both runs of
// each sum ascend and the loops vectorise. All arithmetic is unsigned 32-bit:
// it wraps by definition, and the block scaling keeps the true sum within
// int32 so the wrap never happens. Four outputs share each coefficient load.
KELVANE_FIR_CLONES
void FirSums(const uint32_t* fwd, const uint32_t* rev, const uint32_t* h, int32_t count, uint32_t* out)
{
    constexpr int32_t kTaps = LSRCEq::kTaps;
    int32_t i = 0;
    for (; i + 4 <= count; i += 4) {
        const uint32_t* a = fwd + i;
        const uint32_t* b = rev - i;
        uint32_t s0 = a[0] * h[0], s1 = a[1] * h[0], s2 = a[2] * h[0], s3 = a[3] * h[0];
        for (int32_t k = 1; k < kTaps; ++k) {
            const uint32_t hk = h[k];
            s0 += (a[k] + b[k]) * hk;
            s1 += (a[k + 1] + b[k - 1]) * hk;
            s2 += (a[k + 2] + b[k - 2]) * hk;
            s3 += (a[k + 3] + b[k - 3]) * hk;
        }
        out[i] = s0;
        out[i + 1] = s1;
        out[i + 2] = s2;
        out[i + 3] = s3;
    }
    for (; i < count; ++i) {
        const uint32_t* a = fwd + i;
        const uint32_t* b = rev - i;
        uint32_t s = a[0] * h[0];
        for (int32_t k = 1; k < kTaps; ++k)
            s += (a[k] + b[k]) * h[k];
        out[i] = s;
    }
}

// cos(m * pi / 2048) for m = 0..4095: the design needs cos(k*j*pi/2048) for
// every k, j < 2048, which is this table at (k*j) mod 4096.
const std::array<double, 4096>& CosineTable()
{
    static const std::array<double, 4096> table = [] {
        std::array<double, 4096> t{};
        for (int32_t m = 0; m < 4096; ++m)
            t[size_t(m)] = std::cos(m * M_PI / 2048.0);
        return t;
    }();
    return table;
}

} // namespace

LSRCEq::Coefficients LSRCEq::Design(const LEqGainTable& table)
{
    const std::array<double, 4096>& cosine = CosineTable();
    Coefficients h{};
    for (int32_t k = 0; k < kTaps; ++k) {
        double sum = 0.0;
        uint32_t m = 0;
        for (int32_t j = 0; j < kTaps; ++j, m = (m + uint32_t(k)) & 4095u)
            sum += cosine[m] * table[size_t(j)];
        h[size_t(k)] = int32_t((int64_t(std::floor(sum)) + 4) >> 3);
    }
    return h;
}

LSRCEq::LSRCEq(LSoundSource upstream, const LEqGainTable& table)
    : LSRCFilterBase(std::move(upstream)), h_(Design(table)), channels_(GetChannels())
{
    taps_.resize(kTaps);
    bound_ = std::abs(int64_t(h_[0]));
    for (int32_t k = 0; k < kTaps; ++k) {
        taps_[size_t(k)] = uint32_t(h_[size_t(k)]);
        if (k > 0)
            bound_ += 2 * std::abs(int64_t(h_[size_t(k)]));
    }
    const size_t plane = size_t(kFrames) * channels_;
    raw_.assign(plane, 0);
    fwd_.resize(plane);
    rev_.resize(plane);
    interleaved_.resize(plane);
    sums_.resize(kBlock);
    ReadInto(kHistory, kLookAhead + kBlock);
    ApplyInBufferScaling();
}

void LSRCEq::ReadInto(int32_t at, int32_t frames)
{
    upstream_->Read(interleaved_.data(), frames);
    for (size_t c = 0; c < channels_; ++c) {
        int32_t* plane = raw_.data() + c * kFrames + at;
        const int32_t* v = interleaved_.data() + c;
        for (int32_t f = 0; f < frames; ++f, v += channels_)
            plane[f] = *v;
    }
}

void LSRCEq::ApplyInBufferScaling()
{
    uint64_t peak = 0;
    for (int32_t v : raw_)
        peak = std::max<uint64_t>(peak, uint64_t(std::abs(int64_t(v))));
    // The smallest shift whose largest scaled magnitude, ceil(peak / 2^s),
    // times the coefficient bound stays a positive int32.
    int32_t s = 0;
    while (bound_ > 0 && ((peak + (uint64_t(1) << s) - 1) >> s) * uint64_t(bound_) > uint64_t(INT32_MAX))
        ++s;
    shift_ = s;
    for (size_t c = 0; c < channels_; ++c) {
        const int32_t* in = raw_.data() + c * kFrames;
        uint32_t* fwd = fwd_.data() + c * kFrames;
        uint32_t* rev = rev_.data() + c * kFrames;
        for (int32_t i = 0; i < kFrames; ++i)
            fwd[i] = uint32_t(in[i] >> s);
        for (int32_t i = 0; i < kFrames; ++i)
            rev[i] = fwd[kFrames - 1 - i];
    }
}

void LSRCEq::Refill()
{
    // The last 4095 frames become the history and the look-ahead of the next block.
    for (size_t c = 0; c < channels_; ++c) {
        int32_t* plane = raw_.data() + c * kFrames;
        std::memmove(plane, plane + kBlock, sizeof(int32_t) * size_t(kHistory + kLookAhead));
    }
    ReadInto(kHistory + kLookAhead, kBlock);
    pos_ = 0;
    ApplyInBufferScaling();
}

void LSRCEq::Read(int32_t* buffer, int32_t frames)
{
    while (frames > 0) {
        if (pos_ == kBlock)
            Refill();
        const int32_t n = std::min(frames, kBlock - pos_);
        const int32_t centre = kHistory + pos_;
        for (size_t c = 0; c < channels_; ++c) {
            FirSums(fwd_.data() + c * kFrames + centre, rev_.data() + c * kFrames + (kFrames - 1 - centre),
                    taps_.data(), n, sums_.data());
            int32_t* out = buffer + c;
            if (shift_ <= 15) {
                const int32_t down = 15 - shift_;
                for (int32_t i = 0; i < n; ++i, out += channels_)
                    *out = int32_t(sums_[size_t(i)]) >> down;
            } else {
                const int32_t up = shift_ - 15;
                for (int32_t i = 0; i < n; ++i, out += channels_)
                    *out = EfSaturate32(int64_t(int32_t(sums_[size_t(i)])) * (int64_t(1) << up));
            }
        }
        buffer += size_t(n) * channels_;
        frames -= n;
        pos_ += n;
    }
}

int32_t LSRCEq::GetPosition()
{
    return EfSaturate32(int64_t(upstream_->GetPosition()) - (kBlock - pos_) - kLookAhead);
}

void LSRCEq::Seek(int32_t frame)
{
    upstream_->Seek(EfSaturate32(int64_t(frame) - kHistory));
    ReadInto(0, kFrames);
    pos_ = 0;
    ApplyInBufferScaling();
}

LSoundSource LEfEqMaker::MakeSource(const LSoundSource& input) const { return ::MakeSource<LSRCEq>(input, table); }
