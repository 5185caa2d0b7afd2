#include "core/LSRCFilterBase.h"

LSRCFilterBase::LSRCFilterBase(LSoundSource upstream)
    : LSoundSourceBase(upstream->GetSampleRate(), upstream->GetChannels(), upstream->GetMaxAmplitude()),
      upstream_(std::move(upstream))
{
    if (upstream_->GetError() != kSrcGood)
        SetError(kSrcUpstreamError);
}
