#include "formats/gsm/LGSMDecoder.h"

#include "formats/gsm/GsmRpe.h"
#include "formats/gsm/GsmTables.h"

void LGSMDecoder::Decode(const LGSMParams& params, int16_t* samples)
{
    int16_t excitation[gsm610::kFrameSamples];
    for (int32_t j = 0; j < gsm610::kSubframes; ++j) {
        int16_t erp[gsm610::kSubframeSamples];
        gsm610::RpeDecode(params.xmaxc[j], params.mc[j], params.xmc[j], erp);
        gsm610::LtpSynthesis(longTerm_, params.nc[j], params.bc[j], erp, excitation + j * gsm610::kSubframeSamples);
    }
    gsm610::ShortTermSynthesis(shortTerm_, params.larc, excitation, samples);
}
