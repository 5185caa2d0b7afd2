#pragma once
#include <cstdint>

// The forms the decoder's filter-bank kernels come in. All take the same IEEE
// single-precision steps on every value, in the same order, so they give the same
// bits; they differ only in how many values move at once.
enum class MP3KernelSet : int32_t {
    Plain,  // portable C++, four lanes
    Sse2,   // x86-64 baseline, four lanes
    Avx,    // eight lanes, where the processor has AVX
};

// IMDCT of one granule of one channel (see MP3Imdct::Run).
using MP3ImdctFn = void (*)(const float* lines, int32_t blockType, bool mixed, int32_t longSubbands,
                            int32_t activeSubbands, float* overlap, float* out, int32_t firstSlot);
// Synthesis of one frame over the filter history (see MP3Synthesis::Run).
using MP3SynthesisFn = void (*)(float* history, const float* const* time, int32_t channels, int32_t slots,
                                int32_t rowStride, int32_t* out);

// Whether this build and this processor can run `set`.
bool MP3KernelSetAvailable(MP3KernelSet set);
// The fastest available set.
MP3KernelSet MP3BestKernelSet();
