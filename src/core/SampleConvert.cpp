#include "core/SampleConvert.h"

void SamplesFromPcm16(int32_t* dst, const int16_t* src, int32_t count)
{
    for (int32_t i = 0; i < count; ++i)
        dst[i] = int32_t(src[i]) * 16;
}

void SamplesToPcm16(int16_t* dst, const int32_t* src, int32_t count)
{
    for (int32_t i = 0; i < count; ++i)
        dst[i] = int16_t(uint16_t(uint32_t(int32_t((int64_t(src[i]) + 8) >> 4))));
}

void SamplesFromPcm8(int32_t* dst, const uint8_t* src, int32_t count)
{
    for (int32_t i = 0; i < count; ++i)
        dst[i] = (int32_t(src[i]) - 128) * 4096;
}

void SamplesToPcm8(uint8_t* dst, const int32_t* src, int32_t count)
{
    for (int32_t i = 0; i < count; ++i) {
        int64_t b = ((int64_t(src[i]) + 2048) >> 12) + 128;
        dst[i] = uint8_t(b > 255 ? 255 : b < 0 ? 0 : b);
    }
}

void SamplesFromPcm16LE(int32_t* dst, const uint8_t* src, int32_t count)
{
    for (int32_t i = 0; i < count; ++i)
        dst[i] = int32_t(int16_t(uint16_t(src[2 * i] | (src[2 * i + 1] << 8)))) * 16;
}

void SamplesToPcm16LE(uint8_t* dst, const int32_t* src, int32_t count)
{
    for (int32_t i = 0; i < count; ++i) {
        uint32_t p = uint32_t(int32_t((int64_t(src[i]) + 8) >> 4));
        dst[2 * i] = uint8_t(p);
        dst[2 * i + 1] = uint8_t(p >> 8);
    }
}
