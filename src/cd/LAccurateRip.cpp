#include "cd/LAccurateRip.h"

#include <algorithm>

LAccurateRip::LAccurateRip(int32_t frames, bool first, bool last)
    : from_(first ? uint32_t(kSkippedFrames) : 1u),
      to_(uint32_t(std::max(frames, 0)))
{
    if (last)
        to_ = to_ > uint32_t(kSkippedFrames) ? to_ - uint32_t(kSkippedFrames) : 0;
}

void LAccurateRip::Add(const uint8_t* samples, int32_t frames)
{
    uint32_t v1 = v1_, v2 = v2_;
    uint32_t position = position_;
    for (int32_t f = 0; f < frames; ++f, ++position, samples += 4) {
        if (position < from_ || position > to_)
            continue;
        const uint32_t value = uint32_t(samples[0]) | uint32_t(samples[1]) << 8 | uint32_t(samples[2]) << 16 |
                               uint32_t(samples[3]) << 24;
        const uint64_t product = uint64_t(value) * position;
        v1 += uint32_t(product);
        v2 += uint32_t(product) + uint32_t(product >> 32);
    }
    v1_ = v1;
    v2_ = v2;
    position_ = position;
}
