#include "core/LSourceProcessor.h"

#include "core/LSRCConvertChannels.h"
#include "core/LSRCConvertRate.h"
#include "core/LSRCPeakLimit.h"
#include "core/LSRCSoxrRate.h"

LSoundSource LSPConvChannels::OpenSource(const LSoundSource& input) const
{
    int32_t have = input->GetChannels();
    if (input->GetError() != kSrcGood || have == 0 || channels_ == 0 || have == channels_)
        return input;
    if (have == 1 && channels_ == 2)
        return MakeSource<LSRCConvertMonoToStereo>(input);
    if (have == 2 && channels_ == 1)
        return MakeSource<LSRCConvertStereoToMono>(input);
    return input;
}

namespace {

// A wide-band stage to `target`, preceded by halving stages while one stage's
// cut-off would be too low for the filter.
LSoundSource WideStage(const LSoundSource& input, int32_t target)
{
    LSoundSource in = input;
    if (!ConvertRatio::CutoffFits(input->GetSampleRate(), target, true, LSRCConvertRate::kTaps))
        in = WideStage(input, target * 2);
    return MakeSource<LSRCConvertRate>(in, target, true);
}

} // namespace

LSoundSource LSPConvRate::OpenSource(const LSoundSource& input) const
{
    int32_t source = input->GetSampleRate();
    if (input->GetError() != kSrcGood || source == rate_)
        return input;
    if (quality_ == LRateQuality::High)
        return MakeSource<LSRCSoxrRate>(input, rate_);
    if (rate_ > 0 && rate_ < (source >> 2))
        return MakeSource<LSRCConvertRate>(WideStage(input, rate_ * 2), rate_, false);
    return MakeSource<LSRCConvertRate>(input, rate_, false);
}

LSoundSource LSPPeakLimit::OpenSource(const LSoundSource& input) const
{
    if (input->GetMaxAmplitude() <= maxAmplitude_)
        return input;
    return MakeSource<LSRCPeakLimit>(input, maxAmplitude_);
}
