#pragma once
#include <cstdint>

#include "core/LRateQuality.h"
#include "core/LSoundSource.h"

// Turns a source into a source of a wanted format, returning the input itself
// when it already has it.
class LSourceProcessor {
public:
    virtual ~LSourceProcessor() = default;
    virtual LSoundSource OpenSource(const LSoundSource& input) const = 0;
};

// Mono <-> stereo; any other pair, a zero count or a source in error passes unchanged.
class LSPConvChannels : public LSourceProcessor {
public:
    explicit LSPConvChannels(uint16_t channels) : channels_(channels) {}
    LSoundSource OpenSource(const LSoundSource& input) const override;

private:
    uint16_t channels_;
};

// Resamples to `rate`. A target below a quarter of the source rate goes in two
// stages, the first to twice the target with a wider transition band (and more
// halving stages where that first cut-off would otherwise vanish). High quality
// goes through libsoxr in one stage whatever the ratio.
class LSPConvRate : public LSourceProcessor {
public:
    explicit LSPConvRate(int32_t rate, LRateQuality quality = LRateQuality::Standard)
        : rate_(rate), quality_(quality)
    {
    }
    LSoundSource OpenSource(const LSoundSource& input) const override;

private:
    int32_t rate_;
    LRateQuality quality_;
};

// Wraps the input in a peak limiter when its declared maximum amplitude exceeds the limit.
class LSPPeakLimit : public LSourceProcessor {
public:
    explicit LSPPeakLimit(uint32_t maxAmplitude) : maxAmplitude_(maxAmplitude) {}
    LSoundSource OpenSource(const LSoundSource& input) const override;

private:
    uint32_t maxAmplitude_;
};
