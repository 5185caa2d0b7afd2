#pragma once
#include <algorithm>
#include <array>
#include <cstdint>

#include "core/ByteOrder.h"

// A WAV format block of up to 1024 bytes in the on-disk layout: tag, channels,
// rate, average bytes per second, block alignment, bits per sample, extra size,
// then the codec's extra bytes. Header-only so the codec adapters can share it.
class LWaveFileFormat {
public:
    static constexpr int32_t kSize = 1024;
    static constexpr uint16_t kTagPcm = 1;
    static constexpr uint16_t kTagFloat = 3;
    static constexpr uint16_t kTagExtensible = 0xFFFE;

    LWaveFileFormat() { bytes_.fill(0); }
    // PCM at `rate` and `channels` with `bits` per sample.
    static LWaveFileFormat Pcm(int32_t rate, uint16_t channels, uint16_t bits = 16)
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

    // PCM wider than 16 bits (24 or 32) in the extensible block, which names
    // plain PCM as its sub-format.
    static LWaveFileFormat ExtensiblePcm(int32_t rate, uint16_t channels, uint16_t bits)
    {
        static constexpr uint8_t kPcmGuid[16] = {1, 0, 0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
        LWaveFileFormat f = Pcm(rate, channels, bits);
        f.SetTag(kTagExtensible);
        f.SetExtraSize(22);
        uint8_t* extra = f.Data() + 18;
        PutLE16(extra, bits);                             // valid bits
        PutLE32(extra + 2, channels == 1 ? 0x4 : 0x3);    // front centre, or front left and right
        std::copy_n(kPcmGuid, 16, extra + 6);
        return f;
    }
    // IEEE float samples of `bits` (32 or 64).
    static LWaveFileFormat Float(int32_t rate, uint16_t channels, uint16_t bits)
    {
        LWaveFileFormat f = Pcm(rate, channels, bits);
        f.SetTag(kTagFloat);
        return f;
    }

    uint16_t Tag() const { return GetLE16(At(0)); }
    uint16_t Channels() const { return GetLE16(At(2)); }
    uint32_t SamplesPerSec() const { return GetLE32(At(4)); }
    uint32_t AvgBytesPerSec() const { return GetLE32(At(8)); }
    uint16_t BlockAlign() const { return GetLE16(At(12)); }
    uint16_t BitsPerSample() const { return GetLE16(At(14)); }
    uint16_t ExtraSize() const { return GetLE16(At(16)); }
    // 18 + extra size, capped at the block's size.
    int32_t UsedBytes() const { return std::min<int32_t>(18 + ExtraSize(), kSize); }
    const uint8_t* Extra() const { return bytes_.data() + 18; }
    // The tag, seen through an extensible block's sub-format.
    uint16_t Coding() const
    {
        return Tag() == kTagExtensible && ExtraSize() >= 22 ? GetLE16(Extra() + 6) : Tag();
    }
    // 16-bit PCM, which the program reads and writes without a codec.
    bool IsPcm16() const { return Tag() == kTagPcm && BitsPerSample() == 16; }

    void SetTag(uint16_t v) { PutLE16(At(0), v); }
    void SetChannels(uint16_t v) { PutLE16(At(2), v); }
    void SetSamplesPerSec(uint32_t v) { PutLE32(At(4), v); }
    void SetAvgBytesPerSec(uint32_t v) { PutLE32(At(8), v); }
    void SetBlockAlign(uint16_t v) { PutLE16(At(12), v); }
    void SetBitsPerSample(uint16_t v) { PutLE16(At(14), v); }
    void SetExtraSize(uint16_t v) { PutLE16(At(16), v); }

    uint8_t* Data() { return bytes_.data(); }
    const uint8_t* Data() const { return bytes_.data(); }

private:
    uint8_t* At(int32_t offset) { return bytes_.data() + offset; }
    const uint8_t* At(int32_t offset) const { return bytes_.data() + offset; }
    std::array<uint8_t, kSize> bytes_;
};
