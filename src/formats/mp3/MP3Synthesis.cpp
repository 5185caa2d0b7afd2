#include "formats/mp3/MP3Synthesis.h"

#include <cstring>

#include "formats/mp3/MP3KernelsAvx.h"
#include "formats/mp3/MP3LanesPlain.h"
#include "formats/mp3/MP3LanesSse2.h"
#include "formats/mp3/MP3SynthesisKernel.h"

MP3Synthesis::MP3Synthesis(MP3KernelSet set) : run_(&MP3SynthesisKernel<MP3LanesPlain>::Run)
{
    if (!MP3KernelSetAvailable(set))
        set = MP3BestKernelSet();
#if defined(__SSE2__)
    if (set == MP3KernelSet::Sse2)
        run_ = &MP3SynthesisKernel<MP3LanesSse2>::Run;
#endif
    if (set == MP3KernelSet::Avx)
        run_ = kMP3SynthesisAvx;
    Reset();
}

void MP3Synthesis::Reset()
{
    std::memset(history_, 0, sizeof history_);
}
