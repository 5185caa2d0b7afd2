#pragma once
// The standard GSM 06.10 input and output processing (13-bit downscaling, offset
// compensation, pre-emphasis; de-emphasis, upscaling and truncation), built here
// only to prove the codec core against the reference library: with these ends
// our frames and samples must equal libgsm's bit for bit.
#include <cstdint>

#include "formats/gsm/GsmMath.h"
#include "formats/gsm/LGSMDecoder.h"
#include "formats/gsm/LGSMEncoder.h"
#include "formats/gsm/LGSMParams.h"

namespace test {

class StandardGsm {
public:
    void Encode(const int16_t* in, uint8_t* frame)
    {
        int16_t so[160];
        for (int32_t k = 0; k < 160; ++k) {
            // Downscaling to 13 bits, offset compensation (a high-pass with a 31-bit
            // state split into 16-bit halves), pre-emphasis.
            int16_t s0 = int16_t((in[k] >> 3) * 4);
            int16_t s1 = int16_t(s0 - z1_);
            z1_ = s0;
            int32_t ls2 = int32_t(s1) * 32768;
            int16_t msp = int16_t(lz2_ >> 15);
            int16_t lsp = int16_t(lz2_ - int32_t(msp) * 32768);
            ls2 += gsm610::MultR(lsp, 32735);
            lz2_ = gsm610::LAdd(gsm610::LMult(msp, 32735) >> 1, ls2);
            int16_t sof = int16_t(gsm610::LAdd(lz2_, 16384) >> 15);
            so[k] = gsm610::Add(sof, gsm610::MultR(mp_, -28180));
            mp_ = sof;
        }
        LGSMParams p;
        encoder_.Encode(so, p);
        p.Pack(frame);
    }

    void Decode(const uint8_t* frame, int16_t* out)
    {
        LGSMParams p;
        p.Unpack(frame);
        int16_t sr[160];
        decoder_.Decode(p, sr);
        for (int32_t k = 0; k < 160; ++k) {
            msr_ = gsm610::Add(sr[k], gsm610::MultR(msr_, 28180));
            out[k] = int16_t(gsm610::Add(msr_, msr_) & 0xFFF8);
        }
    }

private:
    LGSMEncoder encoder_;
    LGSMDecoder decoder_;
    int16_t z1_ = 0;
    int32_t lz2_ = 0;
    int16_t mp_ = 0;
    int16_t msr_ = 0;
};

} // namespace test
