#pragma once
#include "formats/mp3/MP3KernelSet.h"

// The eight-lane kernels, compiled for AVX in a file of their own; null where the
// build is not for x86. Call them only where the processor has AVX.
extern const MP3ImdctFn kMP3ImdctAvx;
extern const MP3SynthesisFn kMP3SynthesisAvx;
