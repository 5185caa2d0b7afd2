#pragma once
#include <cstdint>

// Inverse MDCT, windowing and overlap-add of one granule of one channel, with the
// frequency inversion of odd subbands, producing the time samples the synthesis
// filter bank takes. Tables are built once per process.
class MP3Imdct {
public:
    static const MP3Imdct& Get();

    // `lines`: 576 dequantised lines in subband order (18 per subband).
    // `blockType` 0-3; with `mixed`, the first `longSubbands` subbands are long
    // blocks of type 0. Subbands from `activeSubbands` on are known to be zero.
    // `overlap`: 576 values carried between granules. `out`: 18 x 32 samples,
    // time-major (out[t * 32 + subband]).
    void Run(const float* lines, int32_t blockType, bool mixed, int32_t longSubbands, int32_t activeSubbands,
             float* overlap, float* out) const;

private:
    MP3Imdct();
    void Long(const float* in, int32_t blockType, float* overlap, float* out, bool invert) const;
    void Short(const float* in, float* overlap, float* out, bool invert) const;

    float dct18_[18][18];       // [k][m]: cos(pi (2m+1)(2k+1) / 72)
    float longWindow_[4][36];
    float short12_[6][12];       // [k][i]: window(i) * cos(pi (2i+7)(2k+1) / 24)
};
