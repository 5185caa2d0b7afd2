#include "formats/mp3/MP3Imdct.h"

#include "formats/mp3/MP3ImdctKernel.h"
#include "formats/mp3/MP3KernelsAvx.h"
#include "formats/mp3/MP3LanesPlain.h"
#include "formats/mp3/MP3LanesSse2.h"

MP3Imdct::MP3Imdct(MP3KernelSet set) : run_(&MP3ImdctKernel<MP3LanesPlain>::Run)
{
    if (!MP3KernelSetAvailable(set))
        set = MP3BestKernelSet();
#if defined(__SSE2__)
    if (set == MP3KernelSet::Sse2)
        run_ = &MP3ImdctKernel<MP3LanesSse2>::Run;
#endif
    if (set == MP3KernelSet::Avx)
        run_ = kMP3ImdctAvx;
}
