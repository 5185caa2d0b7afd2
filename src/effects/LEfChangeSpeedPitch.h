#pragma once
#include <cstdint>
#include <memory>

#include "core/LProgressDialog.h"
#include "edit/LCutListAudio.h"
#include "effects/LEfSourceMaker.h"

// The speed and pitch job shared by three commands:
//   mode 0 "Simple Speed and Pitch Change": resampling, faster is higher;
//   mode 1 "Constant Pitch and Speed Change": time stretch, the pitch stays;
//   mode 2 "Constant Speed and Pitch Change": resample, then stretch back to the
//          length it had, so only the pitch changes.
// The selection is copied, pumped through the mode's maker into new segments,
// and on completion replaced by them; stEnd then follows the new length.
class LEfChangeSpeedPitch {
public:
    enum : int32_t { kSimple = 0, kConstantPitch = 1, kConstantSpeed = 2 };

    struct Data {
        LCutListAudio* list;
        int32_t stStart;  // frames
        int32_t stEnd;    // frames, exclusive; updated to stStart + the new length
        int32_t percent;  // 100 = unchanged
        int32_t mode;     // kSimple, kConstantPitch or kConstantSpeed
    };
    // A reversed or empty range does nothing and reports completion.
    static int32_t Process(LProgressDialog& dialog, Data& data);

    // The factor 0.01 * percent, raised to at least 0.1 in every mode: below
    // that a stretch would crawl through its input (0 would never finish) and
    // the resampler's target rate would grow without bound.
    static double Factor(int32_t percent);
    // The maker for `mode` (an unknown mode is treated as kSimple).
    static std::unique_ptr<LEfSourceMaker> MakeMaker(int32_t mode, int32_t percent);
};
