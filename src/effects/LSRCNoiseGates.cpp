#include "effects/LSRCNoiseGates.h"

#include <algorithm>
#include <cstdlib>

#include "core/Q24.h"
#include "effects/LDecibelTables.h"
#include "effects/LEfArith.h"

namespace {

// 2*pi times the band edges 50, 400, 1100 and 2600 Hz.
constexpr double kTwoPiF[LSRCNoiseGates::kBands] = {314.15926535, 2513.2741228, 6911.5038377, 16336.2817982};

// x * g / 2^24 in the split form of Q24Mul, kept in 64 bits: a peak times a
// large threshold factor must not wrap and close an open gate.
int64_t Q24MulWide(int64_t x, int64_t g)
{
    const int64_t xh = x >> 12, gh = g >> 12;
    return xh * gh + (((x & 0xFFF) * gh) >> 12) + ((xh * (g & 0xFFF)) >> 12);
}

} // namespace

int32_t LSRCNoiseGates::ThresholdFactor(int32_t level)
{
    const int64_t amplitude = DbAmplitude(std::clamp(level, -127, 127));
    if (amplitude == 0)
        return INT32_MAX;
    return int32_t(std::min<int64_t>((int64_t(1) << 40) / amplitude, INT32_MAX));
}

int32_t LSRCNoiseGates::TargetGain(int64_t correctedPeak, int32_t factor)
{
    const int64_t v = Q24MulWide(correctedPeak, factor) - 512;
    if (v < 0)
        return 0;
    return v <= 2048 ? int32_t(v * 8192) : kQ24Unity;
}

LSRCNoiseGates::LSRCNoiseGates(LSoundSource upstream, const Levels& levels) : LSRCFilterBase(std::move(upstream))
{
    const int32_t rate = GetSampleRate();
    window_ = std::clamp(rate / 30, 20, 8192);
    for (int32_t k = 0; k < kBands; ++k) {
        a_[size_t(k)] = EfOnePoleCoefficient(kTwoPiF[k], rate);
        factors_[size_t(k)] = ThresholdFactor(levels[size_t(k)]);
    }
    const size_t values = size_t(window_) * GetChannels();
    states_.resize(size_t(kBands) * GetChannels());
    input_.resize(values);
    for (int32_t k = 0; k < kBands; ++k) {
        current_[size_t(k)].resize(values);
        next_[size_t(k)].resize(values);
    }
    Restart();
}

void LSRCNoiseGates::ReadBlock(Bands& bands)
{
    upstream_->Read(input_.data(), window_);
    const size_t channels = GetChannels();
    const int64_t a0 = a_[0], a1 = a_[1], a2 = a_[2], a3 = a_[3];
    for (size_t c = 0; c < channels; ++c) {
        int64_t* s = states_.data() + c * kBands;
        int64_t s0 = s[0], s1 = s[1], s2 = s[2], s3 = s[3];
        for (size_t i = c; i < input_.size(); i += channels) {
            int64_t r = input_[i] - (s0 >> 8);  // drops what lies below 50 Hz
            s0 += r * a0;
            s1 += (r - (s1 >> 8)) * a1;
            const int64_t b1 = s1 >> 8;
            r -= b1;
            s2 += (r - (s2 >> 8)) * a2;
            const int64_t b2 = s2 >> 8;
            r -= b2;
            s3 += (r - (s3 >> 8)) * a3;
            const int64_t b3 = s3 >> 8;
            r -= b3;
            bands[0][i] = EfSaturate32(b1);
            bands[1][i] = EfSaturate32(b2);
            bands[2][i] = EfSaturate32(b3);
            bands[3][i] = EfSaturate32(r);
        }
        s[0] = s0, s[1] = s1, s[2] = s2, s[3] = s3;
    }
}

std::array<int32_t, LSRCNoiseGates::kBands> LSRCNoiseGates::Targets(const Bands& bands) const
{
    int64_t p[kBands];
    for (int32_t k = 0; k < kBands; ++k) {
        int64_t peak = 0;
        for (int32_t v : bands[size_t(k)])
            peak = std::max(peak, std::abs(int64_t(v)));
        p[k] = peak;
    }
    // Each one-pole band leaks into its neighbours; take off the share a
    // neighbour's peak would show here.
    const int64_t corrected[kBands] = {p[0] - (p[1] >> 2), p[1] - ((p[2] >> 2) + (p[0] >> 4)),
                                       p[2] - ((p[1] >> 3) + (p[3] >> 4)), p[3] - (p[2] >> 3)};
    std::array<int32_t, kBands> targets{};
    for (int32_t k = 0; k < kBands; ++k)
        targets[size_t(k)] = TargetGain(corrected[k], factors_[size_t(k)]);
    return targets;
}

void LSRCNoiseGates::Restart()
{
    std::fill(states_.begin(), states_.end(), 0);
    ReadBlock(current_);
    ReadBlock(next_);
    gains_ = Targets(next_);
    steps_ = {};
    pos_ = 0;
}

void LSRCNoiseGates::NextBlock()
{
    std::swap(current_, next_);
    ReadBlock(next_);
    const std::array<int32_t, kBands> targets = Targets(next_);
    for (int32_t k = 0; k < kBands; ++k) {
        const int32_t t = targets[size_t(k)], g = gains_[size_t(k)];
        // Open within one block; close over two, the lowest band over four.
        const int32_t frames = t > g ? window_ : (k == 0 ? 4 : 2) * window_;
        steps_[size_t(k)] = (t - g) / frames;
    }
    pos_ = 0;
}

void LSRCNoiseGates::Read(int32_t* buffer, int32_t frames)
{
    const size_t channels = GetChannels();
    while (frames > 0) {
        if (pos_ == window_)
            NextBlock();
        const int32_t n = std::min(frames, window_ - pos_);
        size_t i = size_t(pos_) * channels;
        for (int32_t f = 0; f < n; ++f) {
            for (size_t c = 0; c < channels; ++c, ++i) {
                int64_t y = 0;
                for (int32_t k = 0; k < kBands; ++k)
                    y += Q24Mul(current_[size_t(k)][i], gains_[size_t(k)]);
                *buffer++ = EfSaturate32(y);
            }
            for (int32_t k = 0; k < kBands; ++k)
                gains_[size_t(k)] += steps_[size_t(k)];
        }
        frames -= n;
        pos_ += n;
    }
}

int32_t LSRCNoiseGates::GetPosition()
{
    return EfSaturate32(int64_t(upstream_->GetPosition()) - (2 * window_ - pos_));
}

void LSRCNoiseGates::Seek(int32_t frame)
{
    upstream_->Seek(frame);
    Restart();
}

LEfNoiseGateMaker LEfNoiseGateMaker::FromGateLevel(int32_t level)
{
    const int32_t l = std::clamp(level, -127, 127);
    const auto band = [&](int32_t offset) { return std::clamp(l + offset, -127, 127); };
    return LEfNoiseGateMaker({band(3), band(0), band(-3), band(0)});
}

LSoundSource LEfNoiseGateMaker::MakeSource(const LSoundSource& input) const
{
    if (input->GetError() != kSrcGood)
        return input;
    return ::MakeSource<LSRCNoiseGates>(input, levels);
}
