#include "formats/mp3/MP3KernelSet.h"

#include "formats/mp3/MP3KernelsAvx.h"

bool MP3KernelSetAvailable(MP3KernelSet set)
{
    switch (set) {
    case MP3KernelSet::Plain:
        return true;
    case MP3KernelSet::Sse2:
#if defined(__SSE2__)
        return true;
#else
        return false;
#endif
    case MP3KernelSet::Avx:
#if defined(__x86_64__) || defined(__i386__)
        // Checks the operating system's support for the AVX registers too.
        return kMP3ImdctAvx && kMP3SynthesisAvx && __builtin_cpu_supports("avx");
#else
        return false;
#endif
    }
    return false;
}

MP3KernelSet MP3BestKernelSet()
{
    static const MP3KernelSet best = MP3KernelSetAvailable(MP3KernelSet::Avx)    ? MP3KernelSet::Avx
                                     : MP3KernelSetAvailable(MP3KernelSet::Sse2) ? MP3KernelSet::Sse2
                                                                                 : MP3KernelSet::Plain;
    return best;
}
