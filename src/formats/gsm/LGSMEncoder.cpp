#include "formats/gsm/LGSMEncoder.h"

#include <algorithm>

#include "formats/gsm/GsmLongTerm.h"
#include "formats/gsm/GsmLpc.h"
#include "formats/gsm/GsmMath.h"
#include "formats/gsm/GsmRpe.h"
#include "formats/gsm/GsmTables.h"

void LGSMEncoder::Encode(const int16_t* samples, LGSMParams& params)
{
    int16_t s[gsm610::kFrameSamples];
    std::copy_n(samples, gsm610::kFrameSamples, s);
    gsm610::LpcAnalysis(s, params.larc);
    gsm610::ShortTermAnalysis(shortTerm_, params.larc, s);

    for (int32_t j = 0; j < gsm610::kSubframes; ++j) {
        const int16_t* d = s + j * gsm610::kSubframeSamples;
        const int16_t* past = history_ + 120;
        int16_t dpp[gsm610::kSubframeSamples];
        int16_t e[gsm610::kSubframeSamples];
        int16_t ep[gsm610::kSubframeSamples];
        gsm610::LtpParameters(d, past, params.nc[j], params.bc[j]);
        gsm610::LtpAnalysisFilter(params.bc[j], params.nc[j], past, d, dpp, e);
        gsm610::RpeEncode(e, params.xmaxc[j], params.mc[j], params.xmc[j], ep);
        // The history holds what the decoder will reconstruct, not the true residual.
        std::copy(history_ + gsm610::kSubframeSamples, history_ + 120, history_);
        int16_t* fresh = history_ + 120 - gsm610::kSubframeSamples;
        for (int32_t k = 0; k < gsm610::kSubframeSamples; ++k)
            fresh[k] = gsm610::Add(ep[k], dpp[k]);
    }
}
