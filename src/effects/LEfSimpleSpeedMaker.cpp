#include "effects/LEfSimpleSpeedMaker.h"

#include <algorithm>
#include <cmath>

#include "core/LSourceProcessor.h"
#include "effects/LSRCRelabelRate.h"

LSoundSource LEfSimpleSpeedMaker::MakeSource(const LSoundSource& input) const
{
    const double f = std::max(factor, kMinFactor);
    const int32_t rate = input->GetSampleRate();
    // At least 1 Hz so that a huge factor on a tiny rate still makes a valid converter.
    const double target = std::clamp(std::floor(double(rate) / f), 1.0, double(INT32_MAX));
    return ::MakeSource<LSRCRelabelRate>(LSPConvRate(int32_t(target)).OpenSource(input), rate);
}
