#pragma once
#include <cstdint>
#include <string>

#include "core/LProgressDialog.h"
#include "core/LSoundSource.h"
#include "edit/LCutListAudio.h"
#include "effects/LLoudnessMeter.h"

// What a loudness analysis reports: LUFS (LU for the range, dBTP for the peak);
// -infinity where the audio is too short or too quiet to measure.
struct LLoudnessResult {
    double integrated;
    double range;
    double maxMomentary;
    double maxShortTerm;
    double truePeak;
};

// The loudness analysis: measures frames [sStart, sEnd) of a cut list (a
// selection or the whole document) in blocks of 8192 frames under a progress
// dialog. A reversed or empty range measures nothing: every value -infinity.
class LEfLoudnessScan {
public:
    static constexpr int32_t kBlockFrames = 8192;

    struct Data {
        const LCutListAudio* list;
        int32_t sStart;  // frames
        int32_t sEnd;    // frames, exclusive
        LLoudnessResult result;  // out, on completion
    };
    static int32_t Process(LProgressDialog& dialog, Data& data);

    // Feeds frames [sStart, sEnd) of `source` to `meter`, moving the progress
    // bar from `from` to `to` (fractions of the whole). kJobDone, kJobCancelled,
    // or kJobFailed when the meter refused the audio.
    static int32_t Measure(LProgressDialog& dialog, LSoundSource source, int32_t sStart, int32_t sEnd,
                           LLoudnessMeter& meter, double from, double to);
    // Measures the whole file at `path` as it loads (a length the reader only
    // estimates is followed to the real end). False with the reason in `error`
    // (naming the file) when it cannot be opened or measured.
    static bool MeasureFile(const std::string& path, LLoudnessResult& result, std::string& error);
    // "-16.0 LUFS, LRA 5.2 LU, true peak -1.3 dBTP" ("-inf" for what could not
    // be measured).
    static std::string Summary(const LLoudnessResult& result);
    // One value with one decimal, or "-inf".
    static std::string Format(double value);
    // The meter's figures as a result (measures it does not keep read -infinity).
    static LLoudnessResult ResultOf(const LLoudnessMeter& meter);
};
