#pragma once
#include <cstdint>

#include "core/LProgressDialog.h"
#include "edit/LCutListAudio.h"
#include "effects/PointList.h"

// The jobs of the filter effects. Each builds its maker from the values and
// runs the generic filter job (LEfSoundProcess) over [sStart, sEnd) of the
// list, with its progress text; the range keeps its length. A reversed or
// empty range does nothing and reports completion.
namespace LEfFilterJobs {

// "Echo": `timeMs` between repeats, each `gainPercent` as loud as the last.
int32_t EfEcho(LProgressDialog& dialog, LCutListAudio& list, int32_t sStart, int32_t sEnd, int32_t gainPercent,
               int32_t timeMs);
// "Reverb".
int32_t EfReverb(LProgressDialog& dialog, LCutListAudio& list, int32_t stStart, int32_t stEnd, int32_t levelPercent,
                 int32_t timeMs);
// "Low Cut Filter": `frequency` is the value the user typed ("LowCutFreq");
// the filter's corner is twice it.
int32_t EfLowCutFilter(LProgressDialog& dialog, LCutListAudio& list, int32_t sStart, int32_t sEnd,
                       int32_t frequency);
// "Equalizing": the curve's gain table at the list's rate.
int32_t EfEqualiser(LProgressDialog& dialog, LCutListAudio& list, int32_t sStart, int32_t sEnd,
                    const PointList& curve);
// "Noise Reduction" with the gate level in dB.
int32_t EfNoiseReduction(LProgressDialog& dialog, LCutListAudio& list, int32_t sStart, int32_t sEnd,
                         int32_t gateLevel);
// "Dynamic Range Compressor". A ratio index that names no row of
// CompressorRatioList changes nothing and reports completion.
int32_t EfCompressor(LProgressDialog& dialog, LCutListAudio& list, int32_t sStart, int32_t sEnd, int32_t threshold,
                     int32_t ratioIndex, int32_t limit);

// The corner value the high-pass filter gets for a typed frequency (doubled,
// held within int32).
int32_t HighPassCorner(int32_t frequency);

} // namespace LEfFilterJobs
