#include "effects/LSRCRelabelRate.h"

LSRCRelabelRate::LSRCRelabelRate(LSoundSource upstream, int32_t rate) : LSRCFilterBase(std::move(upstream))
{
    SetSampleRate(rate);
}
