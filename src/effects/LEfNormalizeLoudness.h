#pragma once
#include <cstdint>
#include <string>

#include "core/LProgressDialog.h"
#include "edit/LCutListAudio.h"
#include "effects/LEfLoudnessScan.h"
#include "effects/LSRCGain.h"

// Normalize Loudness: brings the integrated loudness of [sStart, sEnd) to a
// target in LUFS by a gain, keeping the true peak at or below a ceiling in
// dBTP. When the gain alone would take the true peak over the ceiling, the
// peak limiter runs behind it; the sound is then measured again and the gain
// and limit corrected (the limiter lowers the loudness, and inter-sample peaks
// may exceed the sample peaks it holds) until both are met or the passes run
// out, when a last gain puts the true peak under the ceiling whatever the
// loudness; a target that more limiting cannot reach is given up, and the
// user told. The result is written as new tank segments over the range.
class LEfNormalizeLoudness {
public:
    static constexpr int32_t kMinTarget = -70;
    static constexpr int32_t kMaxTarget = -5;
    static constexpr int32_t kMinCeiling = -20;
    static constexpr int32_t kMaxCeiling = 0;
    // How far below the ceiling the first limit is set, for the inter-sample
    // peaks a sample-peak limiter leaves.
    static constexpr double kFirstMargin = 0.3;
    // What the true peak keeps below the ceiling: for the rounding of the values
    // as they are written, and for meters that interpolate a little differently.
    static constexpr double kPeakSafety = 0.1;
    // Loudness closer to the target than this ends the corrections.
    static constexpr double kLoudnessTolerance = 0.05;
    static constexpr int32_t kMaxPasses = 6;
    // The largest change of gain from one trial to the next, in dB.
    static constexpr double kMaxStepDb = 6.0;
    // Below this many LU per dB of gain, the limiter takes nearly all of it.
    static constexpr double kSaturatedSlope = 0.1;
    // How much more gain than the measurement asked for the limiter may be
    // fed, in dB, and a shortfall of loudness the user is told about, in LU.
    static constexpr double kMaxExtraDb = 12.0;
    static constexpr double kShortfallToTell = 0.5;

    struct Data {
        LCutListAudio* list;
        int32_t sStart;  // frames
        int32_t sEnd;    // frames, exclusive
        int32_t targetLufs;
        int32_t ceilingDbtp;
        // The range's loudness when the caller measured it already (the
        // dialog shows it); measured here when `haveMeasured` is false.
        bool haveMeasured = false;
        LLoudnessResult measured{};
        // Out: the gain applied in dB, whether the limiter ran, and the
        // integrated loudness and true peak of the result.
        double gainDb = 0;
        bool limited = false;
        double resultLufs = 0;
        double resultPeak = 0;
    };
    // kJobDone (also when the range is too quiet or short to measure: the user
    // is told and nothing changes), kJobCancelled or kJobFailed.
    static int32_t Process(LProgressDialog& dialog, Data& data);

    // The chain the first pass tries for audio measured at `integrated` LUFS
    // with true peak `peak` dBTP: the preview plays it.
    static LEfLoudnessGainMaker FirstGuess(int32_t targetLufs, int32_t ceilingDbtp, double integrated, double peak);
    // The stream value of `dbtp` below full scale (0 dBTP is 524288), at most
    // the 16-bit ceiling 0x7FFF0.
    static uint32_t LimitOf(double dbtp);

    // The settings dialog's and the batch command's check: an empty string when
    // the values are accepted, else the message.
    static std::string Check(int32_t targetLufs, int32_t ceilingDbtp);
    // What the user is told when the audio cannot be measured.
    static const char* kTooQuietMessage;
};
