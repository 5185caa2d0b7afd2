#pragma once
#include <vector>

#include "core/LSRCFilterBase.h"

// Look-ahead peak limiter: reads whole blocks (1/35 s) ahead of what it returns,
// measures each block's peak and ramps a Q24 gain so that no output value
// exceeds the limit, lowering the gain during the block before a loud one.
// Blocks at unity gain pass through unmultiplied. Negative values may go one
// 16-bit step further, to -(limit + 16): with the 16-bit ceiling 0x7FFF0 that is
// exactly -32768, so whatever 16-bit and 8-bit PCM can hold passes unchanged.
class LSRCPeakLimit : public LSRCFilterBase {
public:
    // `limit` is at most 0x3FFFFF; it becomes this source's maximum amplitude.
    LSRCPeakLimit(LSoundSource upstream, uint32_t limit);
    // How much further than `limit` output values may reach below zero.
    static constexpr int32_t kNegativeExtra = 16;
    void Read(int32_t* buffer, int32_t frames) override;
    int32_t GetPosition() override;
    void Seek(int32_t frame) override;

private:
    int32_t BlockGain(const int32_t* block) const;
    void FirstFill();
    void NextBlock();
    void Ramp();

    uint32_t limit_;
    int32_t blockFrames_;
    std::vector<int32_t> blocks_[3];  // current, next, after-next
    int32_t gainPrev_ = 0, gainCur_ = 0, gainNext_ = 0, gainAfter_ = 0;
    int32_t gain_ = 0;
    int32_t step_ = 0;
    int32_t blockPos_;
};
