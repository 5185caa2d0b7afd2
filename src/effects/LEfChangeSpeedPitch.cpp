#include "effects/LEfChangeSpeedPitch.h"

#include <algorithm>

#include "core/LPRSourceToSink.h"
#include "effects/LEfPitchMaker.h"
#include "effects/LEfSimpleSpeedMaker.h"
#include "effects/LEfTimeStretchMaker.h"

double LEfChangeSpeedPitch::Factor(int32_t percent)
{
    return std::max(0.01 * percent, LEfSimpleSpeedMaker::kMinFactor);
}

std::unique_ptr<LEfSourceMaker> LEfChangeSpeedPitch::MakeMaker(int32_t mode, int32_t percent)
{
    const double f = Factor(percent);
    switch (mode) {
    case kConstantPitch: return std::make_unique<LEfTimeStretchMaker>(f);
    case kConstantSpeed: return std::make_unique<LEfPitchMaker>(f);
    default: return std::make_unique<LEfSimpleSpeedMaker>(f);
    }
}

int32_t LEfChangeSpeedPitch::Process(LProgressDialog& dialog, Data& data)
{
    if (data.stEnd <= data.stStart)
        return kJobDone;
    LCutListAudio& list = *data.list;
    LCutListAudio selection;
    list.EfCopy(data.stStart, data.stEnd, selection);
    LSoundSource source = MakeMaker(data.mode, data.percent)->MakeSource(selection.OpenSource());

    LCutListAudio changed;
    LPRSourceToSink::Data pump{"Speed and Pitch Change", source,
                               changed.OpenSink(source->GetSampleRate(), source->GetChannels())};
    int32_t result = LPRSourceToSink::Process(dialog, pump);
    pump.sink.Reset();
    if (result != kJobDone)
        return result;
    list.EfReplace(data.stStart, data.stEnd, changed);
    data.stEnd = int32_t(std::min<int64_t>(int64_t(data.stStart) + changed.GetLength(), INT32_MAX));
    return kJobDone;
}
