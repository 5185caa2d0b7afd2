#include "effects/LSRCEcho.h"

#include <algorithm>

#include "effects/LEfArith.h"

int32_t LSRCEcho::LineLength(int32_t timeMs, int32_t rate, int32_t channels)
{
    const int64_t frames = EfMsToFrames(std::clamp(timeMs, 0, 3000), rate);
    // The cap only matters for nonsense rates from a damaged header.
    return int32_t(std::clamp<int64_t>(frames * channels, 128, int64_t(1) << 26));
}

int32_t LSRCEcho::FeedbackGain(int32_t gainPercent) { return std::clamp(gainPercent, -99, 99) * 256 / 100; }

LSRCEcho::LSRCEcho(LSoundSource upstream, int32_t gainPercent, int32_t timeMs)
    : LSRCFilterBase(std::move(upstream)), gain_(FeedbackGain(gainPercent))
{
    line_.assign(size_t(LineLength(timeMs, GetSampleRate(), GetChannels())), 0);
}

void LSRCEcho::Read(int32_t* buffer, int32_t frames)
{
    upstream_->Read(buffer, frames);
    if (frames <= 0)
        return;
    size_t left = size_t(frames) * GetChannels();
    const int64_t g = gain_;
    while (left > 0) {
        // Runs up to the end of the line, so the inner loop needs no wrap test.
        const size_t n = std::min(left, line_.size() - index_);
        int32_t* line = line_.data() + index_;
        for (size_t i = 0; i < n; ++i) {
            // The product is taken in 64 bits: with a gain near 99 % a loud
            // passage builds up values whose 32-bit product would wrap.
            const int32_t y = EfSaturate32(buffer[i] + ((line[i] * g) >> 8));
            line[i] = y;
            buffer[i] = y;
        }
        buffer += n;
        left -= n;
        index_ += n;
        if (index_ == line_.size())
            index_ = 0;
    }
}

void LSRCEcho::Seek(int32_t frame)
{
    std::fill(line_.begin(), line_.end(), 0);
    index_ = 0;
    upstream_->Seek(frame);
}

LSoundSource LEfEchoMaker::MakeSource(const LSoundSource& input) const
{
    return ::MakeSource<LSRCEcho>(input, gainPercent, timeMs);
}
