#pragma once
#include <cstdint>

#include "formats/mp3/MP3KernelSet.h"

// Inverse MDCT, windowing and overlap-add of one granule of one channel, with the
// frequency inversion of odd subbands, producing the time samples the synthesis
// filter bank takes. The work is done by the kernel of a chosen MP3KernelSet.
class MP3Imdct {
public:
    // Output rows: one per subband, this many samples apart (room for the two
    // granules of a frame and what the widest kernel writes past them).
    static constexpr int32_t kRowStride = 48;

    explicit MP3Imdct(MP3KernelSet set = MP3BestKernelSet());

    // `lines`: 576 dequantised lines in subband order (18 per subband).
    // `blockType` 0-3; with `mixed`, the first `longSubbands` subbands are long
    // blocks of type 0. Subbands from `activeSubbands` on are known to be zero.
    // `overlap`: 576 values carried between granules, time-major ([t * 32 + subband]).
    // Writes the 18 samples of subband sb to out[sb * kRowStride + firstSlot + t]
    // and zeros to up to six after them.
    void Run(const float* lines, int32_t blockType, bool mixed, int32_t longSubbands, int32_t activeSubbands,
             float* overlap, float* out, int32_t firstSlot) const
    {
        run_(lines, blockType, mixed, longSubbands, activeSubbands, overlap, out, firstSlot);
    }

private:
    MP3ImdctFn run_;
};
