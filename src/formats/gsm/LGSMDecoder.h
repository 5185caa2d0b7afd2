#pragma once
#include <cstdint>

#include "formats/gsm/GsmLongTerm.h"
#include "formats/gsm/GsmShortTerm.h"
#include "formats/gsm/LGSMParams.h"

// The GSM 06.10 full-rate speech decoder core: from one frame's parameters to
// 160 synthesised 16-bit samples, before any de-emphasis or scaling (the
// caller's). Keeps the filter and pitch history between frames; one object per
// stream. Any parameter values decode, including those of damaged frames.
class LGSMDecoder {
public:
    void Decode(const LGSMParams& params, int16_t* samples);
    // Back to the state of a new decoder.
    void Reset() { *this = LGSMDecoder(); }

private:
    gsm610::ShortTermState shortTerm_;
    gsm610::LtpSynthesisState longTerm_;
};
