#include "formats/mp3/MP3Imdct.h"

#include <cmath>
#include <cstring>

namespace {
const double kPi = std::acos(-1.0);
}

const MP3Imdct& MP3Imdct::Get()
{
    static const MP3Imdct instance;
    return instance;
}

MP3Imdct::MP3Imdct()
{
    for (int32_t k = 0; k < 18; ++k)
        for (int32_t m = 0; m < 18; ++m)
            dct18_[k][m] = float(std::cos(kPi * (2 * m + 1) * (2 * k + 1) / 72.0));
    for (int32_t i = 0; i < 36; ++i) {
        double normal = std::sin(kPi / 36.0 * (i + 0.5));
        longWindow_[0][i] = float(normal);
        longWindow_[2][i] = float(normal);  // unused: short blocks have their own path
        // Start block: long rise, flat, short fall, zeros.
        double start = i < 18 ? normal : i < 24 ? 1.0 : i < 30 ? std::sin(kPi / 12.0 * (i - 18 + 0.5)) : 0.0;
        // Stop block: zeros, short rise, flat, long fall.
        double stop = i < 6 ? 0.0 : i < 12 ? std::sin(kPi / 12.0 * (i - 6 + 0.5)) : i < 18 ? 1.0 : normal;
        longWindow_[1][i] = float(start);
        longWindow_[3][i] = float(stop);
    }
    for (int32_t k = 0; k < 6; ++k)
        for (int32_t i = 0; i < 12; ++i)
            short12_[k][i] = float(std::sin(kPi / 12.0 * (i + 0.5)) *
                                   std::cos(kPi * (2 * i + 7) * (2 * k + 1) / 24.0));
}

void MP3Imdct::Run(const float* lines, int32_t blockType, bool mixed, int32_t longSubbands, int32_t activeSubbands,
                   float* overlap, float* out) const
{
    for (int32_t sb = 0; sb < 32; ++sb) {
        const bool invert = sb & 1;
        float* ov = overlap + sb * 18;
        float* o = out + sb;
        if (sb >= activeSubbands) {
            // No signal: only the previous granule's tail remains.
            for (int32_t t = 0; t < 18; ++t) {
                float v = ov[t];
                o[t * 32] = invert && (t & 1) ? -v : v;
            }
            std::memset(ov, 0, 18 * sizeof(float));
            continue;
        }
        const float* in = lines + sb * 18;
        if (blockType == 2 && !(mixed && sb < longSubbands))
            Short(in, ov, o, invert);
        else
            Long(in, blockType == 2 ? 0 : blockType, ov, o, invert);
    }
}

void MP3Imdct::Long(const float* in, int32_t blockType, float* overlap, float* out, bool invert) const
{
    // 18-point DCT-IV; the 36 IMDCT outputs are its values with symmetric signs.
    float c[18] = {};
    for (int32_t k = 0; k < 18; ++k) {
        const float x = in[k];
        const float* row = dct18_[k];
        for (int32_t m = 0; m < 18; ++m)
            c[m] += x * row[m];
    }
    const float* w = longWindow_[blockType & 3];
    for (int32_t i = 0; i < 9; ++i) {
        float v = c[i + 9] * w[i] + overlap[i];
        out[i * 32] = invert && (i & 1) ? -v : v;
    }
    for (int32_t i = 9; i < 18; ++i) {
        float v = -c[26 - i] * w[i] + overlap[i];
        out[i * 32] = invert && (i & 1) ? -v : v;
    }
    for (int32_t i = 18; i < 27; ++i)
        overlap[i - 18] = -c[26 - i] * w[i];
    for (int32_t i = 27; i < 36; ++i)
        overlap[i - 18] = -c[i - 27] * w[i];
}

void MP3Imdct::Short(const float* in, float* overlap, float* out, bool invert) const
{
    float z[36] = {};
    for (int32_t win = 0; win < 3; ++win) {
        float y[12] = {};
        for (int32_t k = 0; k < 6; ++k) {
            const float x = in[3 * k + win];
            for (int32_t i = 0; i < 12; ++i)
                y[i] += x * short12_[k][i];
        }
        float* dst = z + 6 + 6 * win;
        for (int32_t i = 0; i < 12; ++i)
            dst[i] += y[i];
    }
    for (int32_t i = 0; i < 18; ++i) {
        float v = z[i] + overlap[i];
        out[i * 32] = invert && (i & 1) ? -v : v;
        overlap[i] = z[i + 18];
    }
}
