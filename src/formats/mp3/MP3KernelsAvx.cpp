// Compiled with AVX enabled (see the formats CMakeLists), on x86 only. Nothing in
// this file may run before the processor's AVX support is checked: it holds no
// code outside the kernels and has no initialisers that run at start-up.
#include "formats/mp3/MP3KernelsAvx.h"

#if defined(__AVX__)
#include "formats/mp3/MP3ImdctKernel.h"
#include "formats/mp3/MP3LanesAvx.h"
#include "formats/mp3/MP3SynthesisKernel.h"

const MP3ImdctFn kMP3ImdctAvx = &MP3ImdctKernel<MP3LanesAvx>::Run;
const MP3SynthesisFn kMP3SynthesisAvx = &MP3SynthesisKernel<MP3LanesAvx>::Run;
#else
const MP3ImdctFn kMP3ImdctAvx = nullptr;
const MP3SynthesisFn kMP3SynthesisAvx = nullptr;
#endif
