#pragma once
#include <array>
#include <cstdint>

// A WAV format block of up to 1024 bytes in the on-disk layout: tag, channels,
// rate, average bytes per second, block alignment, bits per sample, extra size,
// then the codec's extra bytes.
class LWaveFileFormat {
public:
    static constexpr int32_t kSize = 1024;
    static constexpr uint16_t kTagPcm = 1;

    LWaveFileFormat() { bytes_.fill(0); }
    // 16-bit PCM at `rate` and `channels`.
    static LWaveFileFormat Pcm(int32_t rate, uint16_t channels, uint16_t bits = 16);

    uint16_t Tag() const { return Get16(0); }
    uint16_t Channels() const { return Get16(2); }
    uint32_t SamplesPerSec() const { return Get32(4); }
    uint32_t AvgBytesPerSec() const { return Get32(8); }
    uint16_t BlockAlign() const { return Get16(12); }
    uint16_t BitsPerSample() const { return Get16(14); }
    uint16_t ExtraSize() const { return Get16(16); }
    // 18 + extra size, capped at the block's size.
    int32_t UsedBytes() const;

    void SetTag(uint16_t v) { Put16(0, v); }
    void SetChannels(uint16_t v) { Put16(2, v); }
    void SetSamplesPerSec(uint32_t v) { Put32(4, v); }
    void SetAvgBytesPerSec(uint32_t v) { Put32(8, v); }
    void SetBlockAlign(uint16_t v) { Put16(12, v); }
    void SetBitsPerSample(uint16_t v) { Put16(14, v); }
    void SetExtraSize(uint16_t v) { Put16(16, v); }

    uint8_t* Data() { return bytes_.data(); }
    const uint8_t* Data() const { return bytes_.data(); }

private:
    uint16_t Get16(int32_t at) const;
    uint32_t Get32(int32_t at) const;
    void Put16(int32_t at, uint16_t v);
    void Put32(int32_t at, uint32_t v);
    std::array<uint8_t, kSize> bytes_;
};
