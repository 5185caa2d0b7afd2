#include "effects/LDPAutoGain.h"

#include <algorithm>
#include <cmath>

#include "core/Q24.h"
#include "effects/LDecibelTables.h"

namespace {
int32_t ClampDb(int32_t db) { return std::clamp(db, -127, 127); }
} // namespace

const std::array<int8_t, 255>& LDPAutoGain::GainMap()
{
    // From the fixed curve: lower -9 dB, upper 2 dB, slope -0.5 dB per dB.
    static const std::array<int8_t, 255> map = [] {
        constexpr double kSlope = -0.5;
        constexpr int32_t kLower = -9, kUpper = 2;
        std::array<int8_t, 255> m{};
        for (int32_t level = -127; level <= 127; ++level) {
            double db = kSlope * std::clamp(level, kLower, kUpper);
            if (level > kUpper)
                db -= level - kUpper;
            m[size_t(level + 127)] = int8_t(ClampDb(int32_t(std::round(db))));
        }
        return m;
    }();
    return map;
}

int32_t LDPAutoGain::RunningLevel(const std::array<int32_t, 255>& histogram)
{
    int32_t above = 0;
    for (int32_t level = 127; level > -127; --level) {
        above += histogram[size_t(level + 127)];
        if (above > kRingBlocks / 4)
            return level;
    }
    return -127;
}

LDPAutoGain::LDPAutoGain(Analysis analysis)
    : LSoundSourceBase(analysis.rate, analysis.channels, 0x7FFFFFFF), analysis_(std::move(analysis))
{
    const size_t channels = GetChannels();
    analysis_.referenceLevels.resize(channels, 0);
    analysis_.blockFrames = std::max(analysis_.blockFrames, 1);
    analysis_.blocks = std::max(analysis_.blocks, 0);
    levelBytes_.assign(size_t(analysis_.blocks) * channels, int8_t(-127));
    if (!levelBytes_.empty())
        analysis_.levels.ReadAt(0, levelBytes_.data(), int32_t(levelBytes_.size()));
    block_.resize(size_t(analysis_.blockFrames) * channels);
    gains_.resize(channels);
    steps_.resize(channels);
    Restart();
}

int32_t LDPAutoGain::ReadLevel(int32_t block, int32_t channel)
{
    const int32_t raw = levelBytes_[size_t(block) * GetChannels() + size_t(channel)];
    // Offsets bring each channel's reference level to 0 dB.
    return ClampDb(raw - analysis_.referenceLevels[size_t(channel)]);
}

void LDPAutoGain::PushLevel(int32_t level)
{
    --ringCount_[size_t(ring_[size_t(ringIndex_)] + 127)];
    ring_[size_t(ringIndex_)] = level;
    ++ringCount_[size_t(level + 127)];
    p75_ = RunningLevel(ringCount_);
}

void LDPAutoGain::Restart()
{
    ring_.fill(0);
    ringCount_.fill(0);
    ringCount_[127] = kRingBlocks;
    p75_ = 0;
    smoothed_ = -2.0;
    smoothedDb_ = 0;
    // The ring holds the levels of the block being returned and the 49 after
    // it; the entry at the ring index is always the current block's.
    const int32_t ahead = std::min(kRingBlocks, analysis_.blocks);
    for (ringIndex_ = 0; ringIndex_ < ahead; ++ringIndex_) {
        int32_t loudest = -127;
        for (int32_t c = 0; c < GetChannels(); ++c)
            loudest = std::max(loudest, ReadLevel(ringIndex_, c));
        PushLevel(loudest);
    }
    ringIndex_ = 0;
    blockIndex_ = 0;
    inBlock_ = 0;
    position_ = 0;
    started_ = false;
}

void LDPAutoGain::StartBlock()
{
    const int32_t b = blockIndex_;
    const int32_t current = ring_[size_t(ringIndex_)];
    // Ls rises towards the running level quickly (up to +8 dB) when a block
    // louder than it arrives, and sinks slowly (down to about -2 dB).
    if (current > smoothed_ && smoothed_ < p75_ && smoothed_ < 8.0) {
        smoothed_ += (p75_ - smoothed_) / 12.0;
        smoothedDb_ = int32_t(smoothed_);
    } else if (current < smoothed_ && smoothed_ > p75_ && smoothed_ > -2.0) {
        smoothed_ += (p75_ - smoothed_) / 50.0;
        smoothedDb_ = int32_t(smoothed_);
    }
    if (b + kRingBlocks < analysis_.blocks) {
        int32_t loudest = -127;
        for (int32_t c = 0; c < GetChannels(); ++c)
            loudest = std::max(loudest, ReadLevel(b + kRingBlocks, c));
        PushLevel(loudest);
    }
    ringIndex_ = (ringIndex_ + 1) % kRingBlocks;

    const size_t channels = GetChannels();
    const int32_t frames = analysis_.blockFrames;
    std::fill(block_.begin(), block_.end(), 0);
    analysis_.audio.ReadAt(int64_t(b) * frames * int64_t(channels) * 4, block_.data(),
                           int32_t(block_.size() * sizeof(int32_t)));
    const std::array<int8_t, 255>& map = GainMap();
    for (size_t c = 0; c < channels; ++c) {
        const int32_t offset = -analysis_.referenceLevels[c];
        const int32_t level = ReadLevel(b, int32_t(c));
        const int32_t db = ClampDb(ClampDb(offset - smoothedDb_) + map[size_t(ClampDb(level - smoothedDb_) + 127)]);
        const int32_t target = DbAmplitude(db);
        if (b == 0) {
            // The first block starts at its own gain rather than ramping up
            // from silence, which would dip the start of the selection.
            gains_[c] = target;
            steps_[c] = 0;
        } else {
            steps_[c] = int32_t((int64_t(target) - gains_[c]) / (frames + frames / 2));
        }
    }
}

void LDPAutoGain::Read(int32_t* buffer, int32_t frames)
{
    const size_t channels = GetChannels();
    while (frames > 0) {
        int32_t n = frames;
        if (position_ < 0) {
            n = int32_t(std::min<int64_t>(n, -int64_t(position_)));
            std::fill_n(buffer, size_t(n) * channels, 0);
        } else {
            if (!started_ || inBlock_ == analysis_.blockFrames) {
                if (started_)
                    ++blockIndex_;
                started_ = true;
                inBlock_ = 0;
                if (blockIndex_ < analysis_.blocks)
                    StartBlock();
            }
            if (blockIndex_ >= analysis_.blocks) {
                std::fill_n(buffer, size_t(n) * channels, 0);
                inBlock_ = 0;
            } else {
                n = std::min(n, analysis_.blockFrames - inBlock_);
                const int32_t* in = block_.data() + size_t(inBlock_) * channels;
                int32_t* out = buffer;
                for (int32_t f = 0; f < n; ++f) {
                    for (size_t c = 0; c < channels; ++c)
                        *out++ = Q24Mul(*in++, gains_[c]);
                    for (size_t c = 0; c < channels; ++c)
                        gains_[c] += steps_[c];
                }
                inBlock_ += n;
            }
        }
        buffer += size_t(n) * channels;
        frames -= n;
        position_ = int32_t(std::min<int64_t>(int64_t(position_) + n, INT32_MAX));
    }
}

void LDPAutoGain::Seek(int32_t frame)
{
    Restart();
    if (frame < 0) {
        position_ = frame;
        return;
    }
    std::vector<int32_t> scratch(size_t(8192) * GetChannels());
    for (int32_t left = frame; left > 0;) {
        const int32_t n = std::min(left, 8192);
        Read(scratch.data(), n);
        left -= n;
    }
}
