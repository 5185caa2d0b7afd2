#include "effects/LSRCGain.h"

#include <algorithm>
#include <cmath>

#include "core/LSRCPeakLimit.h"
#include "core/Q24.h"
#include "effects/LEfArith.h"

int32_t LSRCGain::GainFromDb(double db)
{
    const double g = std::pow(10.0, db / 20.0) * double(kQ24Unity);
    if (!(g > 0.0))
        return 0;
    return g >= double(INT32_MAX) ? INT32_MAX : int32_t(std::lround(g));
}

LSRCGain::LSRCGain(LSoundSource upstream, int32_t gainQ24)
    : LSRCFilterBase(std::move(upstream)), gain_(std::max(gainQ24, 0))
{
    // Held to 31 bits first, so that the product stays within 62.
    const int64_t max = (std::min<int64_t>(GetMaxAmplitude(), INT32_MAX) * gain_ + kQ24Unity - 1) >> 24;
    SetMaxAmplitude(uint32_t(std::clamp<int64_t>(max, 1, INT32_MAX)));
}

void LSRCGain::Read(int32_t* buffer, int32_t frames)
{
    upstream_->Read(buffer, frames);
    if (gain_ == kQ24Unity || frames <= 0)
        return;
    const size_t count = size_t(frames) * GetChannels();
    for (size_t i = 0; i < count; ++i)
        buffer[i] = EfSaturate32((int64_t(buffer[i]) * gain_ + (int64_t(1) << 23)) >> 24);
}

LSoundSource LEfLoudnessGainMaker::MakeSource(const LSoundSource& input) const
{
    LSoundSource s = ::MakeSource<LSRCGain>(input, gainQ24);
    if (limit > 0 && s->GetMaxAmplitude() > limit)
        s = ::MakeSource<LSRCPeakLimit>(s, limit);
    if (trimQ24 != kQ24Unity)
        s = ::MakeSource<LSRCGain>(s, trimQ24);
    return s;
}
