#include "effects/LSRCReverb.h"

#include <algorithm>

#include "effects/LEfArith.h"
#include "effects/LSRCEcho.h"

namespace {
constexpr double kTapFactors[4] = {0.7413, 0.5581, 0.3823, 0.211};
}

LSRCReverb::Gains LSRCReverb::GainsFor(int32_t levelPercent)
{
    const int32_t g = std::clamp(levelPercent, -100, 100) * 512 / 100;
    return {int32_t(0.4 * g), int32_t(0.1 * g), int32_t(0.3 * g), int32_t(0.07 * g), int32_t(0.13 * g)};
}

int32_t LSRCReverb::TapStart(int32_t length, int32_t n) { return int32_t(kTapFactors[n] * length); }

LSRCReverb::LSRCReverb(LSoundSource upstream, int32_t levelPercent, int32_t timeMs)
    : LSRCFilterBase(std::move(upstream)), gains_(GainsFor(levelPercent))
{
    line_.assign(size_t(LSRCEcho::LineLength(std::clamp(timeMs, 0, 1000), GetSampleRate(), GetChannels())), 0);
    Restart();
}

void LSRCReverb::Restart()
{
    std::fill(line_.begin(), line_.end(), 0);
    const int32_t length = int32_t(line_.size());
    for (int32_t n = 0; n < 4; ++n)
        taps_[n] = TapStart(length, n);
    write_ = 0;
}

void LSRCReverb::Read(int32_t* buffer, int32_t frames)
{
    upstream_->Read(buffer, frames);
    if (frames <= 0)
        return;
    const int32_t length = int32_t(line_.size());
    const int64_t g1 = gains_.g1, g2 = gains_.g2, g3 = gains_.g3, g4 = gains_.g4, gf = gains_.feedback;
    int32_t* line = line_.data();
    int64_t left = int64_t(frames) * GetChannels();
    while (left > 0) {
        // All five indices advance together; a run ends where the first of them
        // wraps, so the inner loop needs no wrap tests.
        int32_t n = int32_t(std::min<int64_t>(left, length - write_));
        for (int32_t t : taps_)
            n = std::min(n, length - t);
        const int32_t *t1 = line + taps_[0], *t2 = line + taps_[1], *t3 = line + taps_[2], *t4 = line + taps_[3];
        int32_t* w = line + write_;
        for (int32_t i = 0; i < n; ++i) {
            // 64-bit products: the line is not clipped, and a long loud passage
            // at 100 % builds up values whose 32-bit products would wrap.
            int64_t y = buffer[i];
            y += (t1[i] * g1) >> 9;
            y += (t2[i] * g2) >> 9;
            y += (t3[i] * g3) >> 9;
            y += (t4[i] * g4) >> 9;
            y += (w[i] * gf) >> 9;
            const int32_t out = EfSaturate32(y);
            w[i] = out;
            buffer[i] = out;
        }
        buffer += n;
        left -= n;
        write_ = write_ + n == length ? 0 : write_ + n;
        for (int32_t& t : taps_)
            t = t + n == length ? 0 : t + n;
    }
}

void LSRCReverb::Seek(int32_t frame)
{
    Restart();
    upstream_->Seek(frame);
}

LSoundSource LEfReverbMaker::MakeSource(const LSoundSource& input) const
{
    return ::MakeSource<LSRCReverb>(input, levelPercent, timeMs);
}
