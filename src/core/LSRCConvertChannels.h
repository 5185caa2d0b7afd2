#pragma once
#include <vector>

#include "core/LSRCFilterBase.h"

// Mono to stereo: each value goes to both channels.
class LSRCConvertMonoToStereo : public LSRCFilterBase {
public:
    explicit LSRCConvertMonoToStereo(LSoundSource upstream);
    void Read(int32_t* buffer, int32_t frames) override;

private:
    std::vector<int32_t> work_;
};

// Stereo to mono: both channels mixed as the sink-side converter mixes them
// (MixStereoToMono), so that no conversion discards a channel.
class LSRCConvertStereoToMono : public LSRCFilterBase {
public:
    explicit LSRCConvertStereoToMono(LSoundSource upstream);
    void Read(int32_t* buffer, int32_t frames) override;

private:
    std::vector<int32_t> work_;
};
