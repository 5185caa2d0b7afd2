#pragma once
#include <cstdint>

// The parameters of one GSM 06.10 full-rate frame (160 samples) as the encoder
// produces and the decoder consumes them, and their 33-byte packed form.
struct LGSMParams {
    static constexpr int32_t kPackedBytes = 33;

    int16_t larc[8] = {};       // coded log-area ratios, 0..(2^bits - 1)
    int16_t nc[4] = {};         // long-term lag per subframe, 40..120 (7 bits)
    int16_t bc[4] = {};         // long-term gain code, 0..3
    int16_t mc[4] = {};         // RPE grid position, 0..3
    int16_t xmaxc[4] = {};      // block amplitude code, 0..63
    int16_t xmc[4][13] = {};    // RPE pulses, 0..7

    // Writes the 33 bytes, most significant bit first, after the signature nibble 0xD.
    void Pack(uint8_t* out) const;
    // Reads 33 bytes; the signature nibble is ignored, every other bit pattern is a valid frame.
    void Unpack(const uint8_t* in);
};
