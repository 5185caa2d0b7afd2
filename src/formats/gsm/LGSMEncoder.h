#pragma once
#include <cstdint>

#include "formats/gsm/GsmShortTerm.h"
#include "formats/gsm/LGSMParams.h"

// The GSM 06.10 full-rate speech encoder core: from 160 preprocessed 16-bit
// samples (after scaling, offset removal and pre-emphasis, which are the
// caller's) to one frame's parameters. Keeps the filter and pitch history
// between frames; one object per stream.
class LGSMEncoder {
public:
    // Codes the next frame; `samples` holds 160 values and is left unchanged.
    void Encode(const int16_t* samples, LGSMParams& params);
    // Back to the state of a new encoder.
    void Reset() { *this = LGSMEncoder(); }

private:
    gsm610::ShortTermState shortTerm_;
    // Reconstructed short-term residual of the last 120 samples, oldest first.
    int16_t history_[120] = {};
};
