#include "formats/mp3/MP3Header.h"

#include "formats/mp3/MP3ByteReader.h"

namespace {

constexpr int32_t kMaxShiftedBytes = 65535;

constexpr int32_t kBitRates[2][15] = {
    {0, 32000, 40000, 48000, 56000, 64000, 80000, 96000, 112000, 128000, 160000, 192000, 224000, 256000, 320000},
    {0, 8000, 16000, 24000, 32000, 40000, 48000, 56000, 64000, 80000, 96000, 112000, 128000, 144000, 160000},
};

constexpr int32_t kSampleRates[3] = {44100, 48000, 32000};

} // namespace

bool MP3Header::Parse(uint32_t word)
{
    if ((word >> 21) != 0x7FF)
        return false;
    uint32_t versionBits = (word >> 19) & 3;
    uint32_t layerBits = (word >> 17) & 3;
    uint32_t rateIndex = (word >> 12) & 15;
    uint32_t srIndex = (word >> 10) & 3;
    if (versionBits == 1 || layerBits != 1 || rateIndex == 0 || rateIndex == 15 || srIndex == 3)
        return false;
    version = versionBits == 3 ? 0 : versionBits == 2 ? 1 : 2;
    noCrc = uint8_t((word >> 16) & 1);
    bitRate = kBitRates[version == 0 ? 0 : 1][rateIndex];
    sampleRateIndex = uint8_t(srIndex);
    padding = uint8_t((word >> 9) & 1);
    mode = uint8_t((word >> 6) & 3);
    modeExtension = uint8_t((word >> 4) & 3);
    return true;
}

bool MP3Header::ReadHeader(MP3ByteReader& reader)
{
    uint32_t word = 0;
    for (int32_t i = 0; i < 4; ++i) {
        int32_t b = reader.ReadByte();
        if (b < 0)
            return false;
        word = (word << 8) | uint32_t(b);
    }
    for (int32_t shifted = 0; !Parse(word); ++shifted) {
        if (shifted >= kMaxShiftedBytes)
            return false;
        int32_t b = reader.ReadByte();
        if (b < 0)
            return false;
        word = (word << 8) | uint32_t(b);
    }
    if (!noCrc)
        reader.Skip(2);
    return true;
}

int32_t MP3Header::GetSampleRate() const { return kSampleRates[sampleRateIndex % 3] >> version; }

int32_t MP3Header::GetFrameBytes() const
{
    return (version == 0 ? 144 : 72) * bitRate / GetSampleRate() + padding;
}

int32_t MP3Header::GetSideInfoBytes() const
{
    if (version == 0)
        return mode == 3 ? 17 : 32;
    return mode == 3 ? 9 : 17;
}

int32_t MP3Header::GetMainDataBytes() const
{
    return GetFrameBytes() - 4 - (noCrc ? 0 : 2) - GetSideInfoBytes();
}

bool MP3Header::Matches(const MP3Header& first) const
{
    return version == first.version && sampleRateIndex == first.sampleRateIndex &&
           (mode == 3) == (first.mode == 3);
}
