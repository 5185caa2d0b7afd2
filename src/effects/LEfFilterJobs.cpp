#include "effects/LEfFilterJobs.h"

#include "effects/CompressorRatioList.h"
#include "effects/LEfArith.h"
#include "effects/LEfSoundProcess.h"
#include "effects/LSRCCompressor.h"
#include "effects/LSRCEcho.h"
#include "effects/LSRCEq.h"
#include "effects/LSRCHighPass.h"
#include "effects/LSRCNoiseGates.h"
#include "effects/LSRCReverb.h"

namespace LEfFilterJobs {

namespace {
int32_t Run(LProgressDialog& dialog, LCutListAudio& list, int32_t sStart, int32_t sEnd, const LEfSourceMaker& maker,
            const char* text)
{
    LEfSoundProcess::Data data{&list, sStart, sEnd, &maker, text};
    return LEfSoundProcess::Process(dialog, data);
}
} // namespace

int32_t EfEcho(LProgressDialog& dialog, LCutListAudio& list, int32_t sStart, int32_t sEnd, int32_t gainPercent,
               int32_t timeMs)
{
    return Run(dialog, list, sStart, sEnd, LEfEchoMaker(gainPercent, timeMs), "Echo");
}

int32_t EfReverb(LProgressDialog& dialog, LCutListAudio& list, int32_t stStart, int32_t stEnd, int32_t levelPercent,
                 int32_t timeMs)
{
    return Run(dialog, list, stStart, stEnd, LEfReverbMaker(levelPercent, timeMs), "Reverb");
}

int32_t HighPassCorner(int32_t frequency) { return EfSaturate32(int64_t(frequency) * 2); }

int32_t EfLowCutFilter(LProgressDialog& dialog, LCutListAudio& list, int32_t sStart, int32_t sEnd,
                       int32_t frequency)
{
    return Run(dialog, list, sStart, sEnd, LEfHighPassMaker(HighPassCorner(frequency)), "Low Cut Filter");
}

int32_t EfEqualiser(LProgressDialog& dialog, LCutListAudio& list, int32_t sStart, int32_t sEnd,
                    const PointList& curve)
{
    // Curves from batch scripts arrive unchecked.
    PointList points = curve;
    points.Validate();
    return Run(dialog, list, sStart, sEnd, LEfEqMaker::FromCurve(points, list.sampleRate), "Equalizing");
}

int32_t EfNoiseReduction(LProgressDialog& dialog, LCutListAudio& list, int32_t sStart, int32_t sEnd,
                         int32_t gateLevel)
{
    return Run(dialog, list, sStart, sEnd, LEfNoiseGateMaker::FromGateLevel(gateLevel), "Noise Reduction");
}

int32_t EfCompressor(LProgressDialog& dialog, LCutListAudio& list, int32_t sStart, int32_t sEnd, int32_t threshold,
                     int32_t ratioIndex, int32_t limit)
{
    const CompressorRatioItem* ratio = CompressorRatioList::Find(ratioIndex);
    if (!ratio)
        return kJobDone;
    return Run(dialog, list, sStart, sEnd, LEfCompressorMaker(threshold, ratio->factor, limit),
               "Dynamic Range Compressor");
}

} // namespace LEfFilterJobs
