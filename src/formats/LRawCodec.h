#pragma once
#include <cstdint>

#include "formats/G711.h"

// The codings of headerless sample data. The number is the value stored in the
// settings and the position in the raw-settings dialog's list.
enum LRawCodec : uint8_t {
    kRawCodecVox = 0,           // "Dialogic ADPCM", two samples per byte
    kRawCodecMuLaw = 1,         // "G711 uLaw"
    kRawCodecALaw = 2,          // "G711 aLaw"
    kRawCodecPcm16LE = 3,       // "16 bit PCM (LE)"
    kRawCodecPcm8Unsigned = 4,  // "8 bit unsigned"
    kRawCodecPcm8Signed = 5,    // "8 bit signed"
    kRawCodecPcm16BE = 6,       // "16 bit PCM (BE)"
    kRawCodecCount = 7,
};

// Conversions of the byte codecs between file bytes and stream samples, `count`
// samples at a time (frames * channels). Each names its sample size and the
// largest magnitude its decoder produces. Writers get input within +-0x7FFF0 and
// clamp only where the 8-bit codes would otherwise wrap.
struct LRawMuLaw {
    static constexpr int32_t kBytesPerSample = 1;
    static constexpr uint32_t kMaxAmplitude = 516096;
    static void Decode(int32_t* dst, const uint8_t* src, int32_t count)
    {
        for (int32_t i = 0; i < count; ++i)
            dst[i] = kMuLawToSample[src[i]];
    }
    static void Encode(uint8_t* dst, const int32_t* src, int32_t count)
    {
        for (int32_t i = 0; i < count; ++i)
            dst[i] = MuLawCompress(src[i]);
    }
};

struct LRawALaw {
    static constexpr int32_t kBytesPerSample = 1;
    static constexpr uint32_t kMaxAmplitude = 516096;
    static void Decode(int32_t* dst, const uint8_t* src, int32_t count)
    {
        for (int32_t i = 0; i < count; ++i)
            dst[i] = kALawToSample[src[i]];
    }
    static void Encode(uint8_t* dst, const int32_t* src, int32_t count)
    {
        for (int32_t i = 0; i < count; ++i)
            dst[i] = ALawCompress(src[i]);
    }
};

struct LRawPcm16LE {
    static constexpr int32_t kBytesPerSample = 2;
    static constexpr uint32_t kMaxAmplitude = 0x7FFF0;
    static void Decode(int32_t* dst, const uint8_t* src, int32_t count)
    {
        for (int32_t i = 0; i < count; ++i)
            dst[i] = int32_t(int16_t(uint16_t(src[2 * i] | (src[2 * i + 1] << 8)))) * 16;
    }
    static void Encode(uint8_t* dst, const int32_t* src, int32_t count)
    {
        for (int32_t i = 0; i < count; ++i) {
            uint32_t p = uint32_t(int32_t((int64_t(src[i]) + 8) >> 4));
            dst[2 * i] = uint8_t(p);
            dst[2 * i + 1] = uint8_t(p >> 8);
        }
    }
};

struct LRawPcm16BE {
    static constexpr int32_t kBytesPerSample = 2;
    static constexpr uint32_t kMaxAmplitude = 0x7FFF0;
    static void Decode(int32_t* dst, const uint8_t* src, int32_t count)
    {
        for (int32_t i = 0; i < count; ++i)
            dst[i] = int32_t(int16_t(uint16_t((src[2 * i] << 8) | src[2 * i + 1]))) * 16;
    }
    static void Encode(uint8_t* dst, const int32_t* src, int32_t count)
    {
        for (int32_t i = 0; i < count; ++i) {
            uint32_t p = uint32_t(int32_t((int64_t(src[i]) + 8) >> 4));
            dst[2 * i] = uint8_t(p >> 8);
            dst[2 * i + 1] = uint8_t(p);
        }
    }
};

struct LRawPcm8Unsigned {
    static constexpr int32_t kBytesPerSample = 1;
    static constexpr uint32_t kMaxAmplitude = 0x7FFF0;
    static void Decode(int32_t* dst, const uint8_t* src, int32_t count)
    {
        for (int32_t i = 0; i < count; ++i)
            dst[i] = (int32_t(src[i]) - 128) * 4096;
    }
    static void Encode(uint8_t* dst, const int32_t* src, int32_t count)
    {
        for (int32_t i = 0; i < count; ++i) {
            int64_t b = ((int64_t(src[i]) + 2048) >> 12) + 128;
            dst[i] = uint8_t(b > 255 ? 255 : (b < 0 ? 0 : b));
        }
    }
};

struct LRawPcm8Signed {
    static constexpr int32_t kBytesPerSample = 1;
    static constexpr uint32_t kMaxAmplitude = 0x7FFF0;
    static void Decode(int32_t* dst, const uint8_t* src, int32_t count)
    {
        for (int32_t i = 0; i < count; ++i)
            dst[i] = int32_t(int8_t(src[i])) * 4096;
    }
    static void Encode(uint8_t* dst, const int32_t* src, int32_t count)
    {
        for (int32_t i = 0; i < count; ++i) {
            int64_t b = (int64_t(src[i]) + 2048) >> 12;
            dst[i] = uint8_t(int8_t(b > 127 ? 127 : (b < -128 ? -128 : b)));
        }
    }
};
