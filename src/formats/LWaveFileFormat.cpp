#include "formats/LWaveFileFormat.h"

#include <algorithm>

#include "core/ByteOrder.h"

LWaveFileFormat LWaveFileFormat::Pcm(int32_t rate, uint16_t channels, uint16_t bits)
{
    LWaveFileFormat f;
    uint16_t bytes = uint16_t((bits + 7) / 8);
    f.SetTag(kTagPcm);
    f.SetChannels(channels);
    f.SetSamplesPerSec(uint32_t(rate));
    f.SetBlockAlign(uint16_t(channels * bytes));
    f.SetAvgBytesPerSec(uint32_t(rate) * channels * bytes);
    f.SetBitsPerSample(bits);
    f.SetExtraSize(0);
    return f;
}

int32_t LWaveFileFormat::UsedBytes() const { return std::min<int32_t>(18 + ExtraSize(), kSize); }

uint16_t LWaveFileFormat::Get16(int32_t at) const { return GetLE16(bytes_.data() + at); }
uint32_t LWaveFileFormat::Get32(int32_t at) const { return GetLE32(bytes_.data() + at); }
void LWaveFileFormat::Put16(int32_t at, uint16_t v) { PutLE16(bytes_.data() + at, v); }
void LWaveFileFormat::Put32(int32_t at, uint32_t v) { PutLE32(bytes_.data() + at, v); }
