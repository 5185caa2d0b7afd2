#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// The exact rational step and the polyphase coefficients of a resampler from
// `sourceRate` to `targetRate`: `step` input frames per `phases` output frames,
// the two rates divided by their greatest common divisor, so that durations and
// pitch are kept exactly. Output frame j is centred on input frame j * step / phases.
// Each coefficient row holds `taps` Kaiser-windowed sinc values scaled by 65536.
struct ConvertRatio {
    // Ratios with more phases than this (rates without a large common divisor, such
    // as 44101 to 48000) share kMaxRows + 1 rows at fractions r / kMaxRows of an
    // input frame; the step itself stays exact, only the filter's sub-frame position
    // is rounded, to 1/8192 of a frame.
    static constexpr int32_t kMaxRows = 4096;

    int32_t phases = 1;  // denominator d: target rate / gcd
    int32_t step = 1;    // numerator n: source rate / gcd
    int32_t taps = 0;
    int32_t rows = 1;    // phases, or kMaxRows + 1 for a ratio with more phases
    std::vector<int32_t> coefficients;  // rows of taps

    // wideBand selects the lower cut-off of the first stage of a two-stage down-conversion.
    // Rates below 1 are taken as 1.
    static ConvertRatio Design(int32_t sourceRate, int32_t targetRate, bool wideBand, int32_t taps);
    // Whether the design's cut-off leaves at least the main lobe of the sinc inside
    // `taps` taps. Beyond that (reductions of more than about 5:1 in one step) the
    // filter loses its gain and its stop band, so callers convert in more steps.
    static bool CutoffFits(int32_t sourceRate, int32_t targetRate, bool wideBand, int32_t taps);

    // The coefficients for an output frame at `phase` / phases (0 <= phase < phases)
    // of an input frame past the window's start.
    const int32_t* Row(int32_t phase) const { return coefficients.data() + size_t(RowIndex(phase)) * size_t(taps); }
    // The row that serves `phase`.
    int32_t RowIndex(int32_t phase) const
    {
        if (rows == phases)
            return phase;
        return int32_t((uint64_t(phase) * uint64_t(2 * kMaxRows) + uint64_t(phases)) / (uint64_t(2) * uint64_t(phases)));
    }
    // Output frames for `inputFrames` input frames: inputFrames * phases / step rounded
    // to the nearest frame.
    int64_t OutputFrames(int64_t inputFrames) const;
};
