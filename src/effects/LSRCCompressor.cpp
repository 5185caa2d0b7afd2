#include "effects/LSRCCompressor.h"

#include <algorithm>
#include <cmath>

#include "core/Q24.h"
#include "effects/LDecibelTables.h"
#include "effects/LEfArith.h"

LSRCCompressor::GainTable LSRCCompressor::MakeGainTable(int32_t threshold, double factor, int32_t upper)
{
    threshold = std::clamp(threshold, -127, 127);
    upper = std::clamp(upper, threshold, 127);
    const double g0 = 16777216.0 / std::pow(factor, -threshold);
    GainTable table{};
    for (int32_t level = -128; level <= 127; ++level) {
        double g = g0;
        if (level > upper)
            g = g0 * std::pow(factor, upper - threshold) * std::pow(0.8913, level - upper);
        else if (level >= threshold)
            g = g0 * std::pow(factor, level - threshold);
        table[size_t(level + 128)] = g >= 2147483647.0 ? INT32_MAX : int32_t(std::max(g, 0.0));
    }
    return table;
}

LSRCCompressor::LSRCCompressor(LSoundSource upstream, int32_t upper, int32_t windowMs, double factor,
                               int32_t threshold)
    : LSRCFilterBase(std::move(upstream)), table_(MakeGainTable(threshold, factor, upper))
{
    window_ = int32_t(std::clamp<int64_t>(EfMsToFrames(windowMs, GetSampleRate()), 128, 8192));
    current_.resize(size_t(window_) * GetChannels());
    next_.resize(current_.size());
    pos_ = window_;
}

int32_t LSRCCompressor::GainOf(const std::vector<int32_t>& block) const
{
    return table_[size_t(BlockLevelDb(BlockMeanSquare(block.data(), block.size())) + 128)];
}

void LSRCCompressor::NextBlock()
{
    if (!started_) {
        upstream_->Read(current_.data(), window_);
        currentGain_ = GainOf(current_);
        gain_ = currentGain_;
        started_ = true;
    } else {
        std::swap(current_, next_);
        currentGain_ = nextGain_;
    }
    upstream_->Read(next_.data(), window_);
    nextGain_ = GainOf(next_);
    // Falling gain arrives within the window plus a quarter; rising gain only
    // goes half way to the average of the two blocks over two windows.
    if (nextGain_ < gain_)
        step_ = int32_t((int64_t(nextGain_) - gain_) / (window_ / 4 + window_));
    else
        step_ = int32_t(((int64_t(nextGain_) + currentGain_) / 2 - gain_) / (2 * window_));
    pos_ = 0;
}

void LSRCCompressor::Read(int32_t* buffer, int32_t frames)
{
    const size_t channels = GetChannels();
    if (GetError() != kSrcGood) {
        std::fill_n(buffer, size_t(std::max(frames, 0)) * channels, 0);
        return;
    }
    while (frames > 0) {
        if (pos_ == window_)
            NextBlock();
        const int32_t n = std::min(frames, window_ - pos_);
        const int32_t* in = current_.data() + size_t(pos_) * channels;
        for (int32_t f = 0; f < n; ++f, gain_ += step_)
            for (size_t c = 0; c < channels; ++c)
                *buffer++ = Q24Mul(*in++, gain_);
        frames -= n;
        pos_ += n;
    }
}

int32_t LSRCCompressor::GetPosition()
{
    if (!started_)
        return upstream_->GetPosition();
    return EfSaturate32(int64_t(upstream_->GetPosition()) - (2 * window_ - pos_));
}

void LSRCCompressor::Seek(int32_t frame)
{
    upstream_->Seek(frame);
    started_ = false;
    pos_ = window_;
}

LSoundSource LEfCompressorMaker::MakeSource(const LSoundSource& input) const
{
    return ::MakeSource<LSRCCompressor>(input, 127, kWindowMs, factor, std::clamp(threshold, -127, 127));
}
