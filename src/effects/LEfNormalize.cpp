#include "effects/LEfNormalize.h"

#include <algorithm>
#include <vector>

#include "core/SampleConvert.h"

int32_t LEfNormalize::GainPercent(int32_t peakLevel, int64_t peak)
{
    // 64-bit: levels from batch data reach 65535, whose product overflows 32 bits.
    const int64_t percent = int64_t(peakLevel) * kFullScale16 / peak;
    return int32_t(std::clamp<int64_t>(percent, INT32_MIN, kMaxPercent));
}

int32_t LEfNormalize::Process(LProgressDialog& dialog, Data& data)
{
    data.appliedPercent = 100;
    if (data.sEnd <= data.sStart)
        return kJobDone;
    dialog.SetText("Normalizing", 0);
    dialog.SetText("Please wait...", 1);
    LSoundSource source = data.list->OpenSource();
    if (data.sStart != 0)
        source->Seek(data.sStart);
    const size_t channels = source->GetChannels();
    const int64_t length = int64_t(data.sEnd) - data.sStart;
    std::vector<int32_t> block(size_t(kBlockFrames) * channels);
    int32_t hi = 0;
    int32_t lo = 0;
    for (int64_t done = 0; done < length;) {
        if (dialog.IsCancelled())
            return kJobCancelled;
        const int32_t n = int32_t(std::min<int64_t>(length - done, kBlockFrames));
        source->Read(block.data(), n);
        const size_t values = size_t(n) * channels;
        for (size_t i = 0; i < values; ++i) {
            hi = std::max(hi, block[i]);
            lo = std::min(lo, block[i]);
        }
        done += n;
        dialog.SetProgress(double(done) / double(length));
    }
    const int64_t peak = std::max<int64_t>(hi, -int64_t(lo));
    if (peak == 0)
        return kJobDone;
    data.appliedPercent = GainPercent(data.peakLevel, peak);
    data.list->EfAmplify(data.sStart, data.sEnd, data.appliedPercent);
    return kJobDone;
}
