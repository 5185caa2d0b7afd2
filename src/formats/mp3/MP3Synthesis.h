#pragma once
#include <cstdint>

// The polyphase synthesis filter bank of one channel: 32 subband samples in, 32
// output samples out, scaled so that a full-scale 1.0 becomes 524288 (2^19).
class MP3Synthesis {
public:
    MP3Synthesis() { Reset(); }
    // Clears the filter history (start of stream, after a seek).
    void Reset();
    // Runs 18 time slots of a granule: `in` holds 18 x 32 samples time-major; writes
    // 18 x 32 rounded output samples to out[0], out[stride], out[2 * stride], ...
    void Run(const float* in, int32_t* out, int32_t stride);

private:
    void Slot(const float* in, int32_t* out, int32_t stride);

    // The last 16 blocks of 64 matrixed values; block `newest_` is the latest.
    alignas(32) float v_[16][64];
    int32_t newest_ = 0;
};
