#pragma once
#include <cstdint>

#include "formats/gsm/LGSMDecoder.h"
#include "formats/gsm/LGSMEncoder.h"

// The GSM 06.10 codec as Kelvane's .gsm files use it: the standard's encoder and
// decoder cores with Kelvane's own input and output filters, which work on the
// stream scale (16-bit sample p carried as p * 16) instead of the standard's
// 13-bit scaling, offset compensation, pre-emphasis and de-emphasis.
// One object per reader or writer; it holds both directions' state.
class LGSMFrame {
public:
    static constexpr int32_t kSamples = 160;
    static constexpr int32_t kBytes = 33;

    // Codes 160 stream samples into one 33-byte frame.
    void EncodeNormal(const int32_t* samples, uint8_t* frame);
    // Decodes one 33-byte frame into 160 stream samples. The output is not
    // clamped; it stays within about twice 16-bit full scale for real speech.
    void DecodeNormal(const uint8_t* frame, int32_t* samples);

    // A fresh decoder (filters, pitch history and output filter), as after a seek.
    void ResetDecoder();

    // The input filter for one stream sample: offset removal and pre-emphasis,
    // giving the 16-bit sample the analysis codes.
    int16_t Preprocess(int32_t x);
    // The output filter for one synthesised sample: de-emphasis and scaling back
    // to the stream scale.
    int32_t Postprocess(int16_t sr);

private:
    LGSMEncoder encoder_;
    LGSMDecoder decoder_;
    // Input filter: previous input, offset-removal accumulator, previous filtered sample.
    int32_t z1_ = 0;
    int32_t acc_ = 0;
    int32_t mp_ = 0;
    // Output filter memory.
    int32_t y_ = 0;
};
