#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// The rational step and polyphase coefficients of a resampler from `sourceRate`
// to `targetRate`: `step` input frames per `phases` output frames, with `taps`
// Kaiser-windowed sinc coefficients per phase scaled by 65536.
struct ConvertRatio {
    int32_t phases = 1;  // denominator d, 1..255
    int32_t step = 1;    // numerator n
    int32_t taps = 0;
    std::vector<int32_t> coefficients;  // phases rows of taps

    // wideBand selects the lower cut-off of the first stage of a two-stage down-conversion.
    static ConvertRatio Design(int32_t sourceRate, int32_t targetRate, bool wideBand, int32_t taps);
    // Whether the design's cut-off leaves at least the main lobe of the sinc inside
    // `taps` taps. Beyond that (reductions of more than about 5:1 in one step) the
    // filter loses its gain and its stop band, so callers convert in more steps.
    static bool CutoffFits(int32_t sourceRate, int32_t targetRate, bool wideBand, int32_t taps);
    const int32_t* Row(int32_t phase) const { return coefficients.data() + size_t(phase) * size_t(taps); }
};
