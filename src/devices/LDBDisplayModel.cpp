#include "devices/LDBDisplayModel.h"

#include <algorithm>

void LDBDisplayModel::SetSize(int32_t width, int32_t height)
{
    width_ = std::max(0, width);
    height_ = std::max(0, height);
}

int32_t LDBDisplayModel::BandTop(int32_t c) const
{
    return channels_ == 0 ? 0 : int32_t(int64_t(c) * std::max(0, height_ - 1) / channels_);
}

int32_t LDBDisplayModel::BandBottom(int32_t c) const { return BandTop(c + 1); }

int32_t LDBDisplayModel::X(int32_t dB) const
{
    dB = std::clamp(dB, kMinDb, kMaxDb);
    return (dB - kMinDb) * std::max(0, width_ - 1) / (kMaxDb - kMinDb);
}

std::vector<LDBDisplayModel::Rect> LDBDisplayModel::SetLevels(const LChannelLevels& levels)
{
    std::vector<Rect> dirty;
    const uint16_t count = uint16_t(std::min<size_t>(levels.count, kMaxChannels));
    const bool recount = count != channels_;
    channels_ = count;
    for (size_t c = 0; c < count; ++c) {
        const int8_t v = int8_t(std::clamp<int32_t>(levels.level[c], kMinDb, kMaxDb));
        if (v == levels_[c])
            continue;
        const int32_t a = X(levels_[c]), b = X(v);
        levels_[c] = v;
        if (!recount)
            dirty.push_back({std::min(a, b), BandTop(int32_t(c)), std::max(a, b) + 1, BandBottom(int32_t(c))});
    }
    if (recount)
        return {Rect{0, 0, width_, height_}};
    return dirty;
}
