#pragma once
#include <cstdint>

// Dialogic (OKI) 4-bit ADPCM as Kelvane codes it: the Dialogic step table and
// index adjustments, but a predictor on the stream scale that decays by 1/64 of
// itself at every sample and is never clamped. Files written with it decode
// correctly only with it. One object per direction of one stream.
class LVoxCodec {
public:
    static constexpr int32_t kMaxIndex = 48;

    // Decodes one 4-bit code into a stream sample (unclamped).
    int32_t Decode(uint8_t code)
    {
        ClampIndex();
        predictor_ = predictor_ + Step() * Multiplier(code) - (predictor_ >> 6);
        index_ += kAdjust[code & 7];
        return predictor_;
    }

    // Codes one stream sample into 4 bits and follows it as the decoder will.
    uint8_t Encode(int32_t x)
    {
        ClampIndex();
        predictor_ -= predictor_ >> 6;
        const int32_t step = Step();
        int32_t d = (x - predictor_) / step;
        uint8_t code = 0;
        if (d < 0) {
            d = -d;
            code = 8;
        }
        if (d > 131) {
            code |= 4;
            d -= 132;
        }
        if (d > 65) {
            code |= 2;
            d -= 66;
        }
        if (d > 32)
            code |= 1;
        predictor_ += step * Multiplier(code);
        index_ += kAdjust[code & 7];
        return code;
    }

    int32_t Predictor() const { return predictor_; }

private:
    static constexpr int32_t kSteps[kMaxIndex + 1] = {
        16,  17,  19,  21,  23,  25,  28,  31,  34,  37,  41,  45,  50,  55,  60,  66,   73,
        80,  88,  97,  107, 118, 130, 143, 157, 173, 190, 209, 230, 253, 279, 307, 337,  371,
        408, 449, 494, 544, 598, 658, 724, 796, 876, 963, 1060, 1166, 1282, 1411, 1552};
    static constexpr int32_t kAdjust[8] = {-1, -1, -1, -1, 2, 4, 6, 8};

    // (2m + 1) * 16 for magnitude m, negative when bit 3 is set.
    static int32_t Multiplier(uint8_t code)
    {
        int32_t m = ((code & 7) * 2 + 1) * 16;
        return (code & 8) ? -m : m;
    }
    void ClampIndex() { index_ = index_ < 0 ? 0 : (index_ > kMaxIndex ? kMaxIndex : index_); }
    int32_t Step() const { return kSteps[index_]; }

    int32_t index_ = 0;
    int32_t predictor_ = 0;
};
