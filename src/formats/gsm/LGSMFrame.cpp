#include "formats/gsm/LGSMFrame.h"

#include "formats/gsm/GsmMath.h"

int16_t LGSMFrame::Preprocess(int32_t x)
{
    // A leaky first-order high-pass (pole 1 - 1/1024) with its remainder carried
    // in 10 fraction bits. The sums are formed in 64 bits and stored modulo 2^32,
    // as the 32-bit accumulator behaves; stream input never comes near the limit.
    acc_ = int32_t(uint32_t(int64_t(acc_) + (int64_t(x) - int64_t(z1_)) * 1024));
    int32_t s = int32_t((int64_t(acc_) + 512) >> 10);
    acc_ = int32_t(uint32_t(int64_t(acc_) - s));
    z1_ = x;
    // Pre-emphasis by 880/1024 and scaling from the stream scale (x16) to the
    // analysis scale (x1/2). A signal whose offset removal overshoots may exceed
    // 16 bits here; it saturates as the standard's own pre-emphasis does rather
    // than wrapping to the opposite sign.
    int64_t v = (int64_t(s) + 16 - ((int64_t(mp_) * 880 + 512) >> 10)) >> 5;
    mp_ = s;
    return gsm610::Saturate(int32_t(v < INT32_MIN ? INT32_MIN : (v > INT32_MAX ? INT32_MAX : v)));
}

int32_t LGSMFrame::Postprocess(int16_t sr)
{
    // De-emphasis by 880/1024 at 32 times the synthesis scale; the product is
    // formed in 64 bits so that no output can overflow the filter.
    int64_t y = int64_t(sr) * 32 + ((int64_t(y_) * 880 + 512) >> 10);
    y_ = int32_t(y);
    return y_;
}

void LGSMFrame::EncodeNormal(const int32_t* samples, uint8_t* frame)
{
    int16_t s[kSamples];
    for (int32_t k = 0; k < kSamples; ++k)
        s[k] = Preprocess(samples[k]);
    LGSMParams params;
    encoder_.Encode(s, params);
    params.Pack(frame);
}

void LGSMFrame::DecodeNormal(const uint8_t* frame, int32_t* samples)
{
    LGSMParams params;
    params.Unpack(frame);
    int16_t sr[kSamples];
    decoder_.Decode(params, sr);
    for (int32_t k = 0; k < kSamples; ++k)
        samples[k] = Postprocess(sr[k]);
}

void LGSMFrame::ResetDecoder()
{
    decoder_.Reset();
    y_ = 0;
}
