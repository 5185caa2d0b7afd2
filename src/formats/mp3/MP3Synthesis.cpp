#include "formats/mp3/MP3Synthesis.h"

#include <cmath>
#include <cstring>

namespace {

const double kPi = std::acos(-1.0);

// The prototype low-pass filter of the synthesis window, samples 0..256 in units
// of 2^-16; it is symmetric about 256. The window D of the standard is this
// prototype with the sign of every other block of 64 samples inverted.
constexpr int32_t kWindowHalf[257] = {
    0, -1, -1, -1, -1, -1, -1, -2, -2, -2, -2, -3, -3, -4, -4, -5, -5, -6, -7, -7, -8, -9, -10, -11, -13, -14,
    -16, -17, -19, -21, -24, -26, -29, -31, -35, -38, -41, -45, -49, -53, -58, -63, -68, -73, -79, -85, -91,
    -97, -104, -111, -117, -125, -132, -139, -147, -154, -161, -169, -176, -183, -190, -196, -202, -208, -213,
    -218, -222, -225, -227, -228, -228, -227, -224, -221, -215, -208, -200, -189, -177, -163, -146, -127,
    -106, -83, -57, -29, 2, 36, 72, 111, 153, 197, 244, 294, 347, 401, 459, 519, 581, 645, 711, 779, 848, 919,
    991, 1064, 1137, 1210, 1283, 1356, 1428, 1498, 1567, 1634, 1698, 1759, 1817, 1870, 1919, 1962, 2001, 2032,
    2057, 2075, 2085, 2087, 2080, 2063, 2037, 2000, 1952, 1893, 1822, 1739, 1644, 1535, 1414, 1280, 1131, 970,
    794, 605, 402, 185, -45, -288, -545, -814, -1095, -1388, -1692, -2006, -2330, -2663, -3004, -3351, -3705,
    -4063, -4425, -4788, -5153, -5517, -5879, -6237, -6589, -6935, -7271, -7597, -7910, -8209, -8491, -8755,
    -8998, -9219, -9416, -9585, -9727, -9838, -9916, -9959, -9966, -9935, -9863, -9750, -9592, -9389, -9139,
    -8840, -8492, -8092, -7640, -7134, -6574, -5959, -5288, -4561, -3776, -2935, -2037, -1082, -70, 998, 2122,
    3300, 4533, 5818, 7154, 8540, 9975, 11455, 12980, 14548, 16155, 17799, 19478, 21189, 22929, 24694, 26482,
    28289, 30112, 31947, 33791, 35640, 37489, 39336, 41176, 43006, 44821, 46617, 48390, 50137, 51853, 53534,
    55178, 56778, 58333, 59838, 61289, 62684, 64019, 65290, 66494, 67629, 68692, 69679, 70590, 71420, 72169,
    72835, 73415, 73908, 74313, 74630, 74856, 74992, 75038,
};

struct Tables {
    alignas(32) float window[512];  // D scaled by 2^19
    float dctScale[5][16];          // 1 / (2 cos((2n+1) pi / 2N)) for N = 32, 16, 8, 4, 2
    Tables()
    {
        const double scale = 524288.0 / 65536.0;
        for (int32_t i = 0; i < 512; ++i) {
            double d = i <= 256 ? kWindowHalf[i] : kWindowHalf[512 - i];
            if ((i >> 6) & 1)
                d = -d;
            window[i] = float(d * scale);
        }
        for (int32_t level = 0, n = 32; level < 5; ++level, n /= 2)
            for (int32_t i = 0; i < n / 2; ++i)
                dctScale[level][i] = float(0.5 / std::cos((2 * i + 1) * kPi / (2.0 * n)));
    }
};

const Tables& GetTables()
{
    static const Tables tables;
    return tables;
}

// Unnormalised DCT-II, out[m] = sum in[k] cos(m (2k+1) pi / 2N), by even/odd
// splitting (B. G. Lee). `in` is used as scratch.
template <int N>
inline void Dct(float* in, float* out, const Tables& t)
{
    if constexpr (N == 1) {
        out[0] = in[0];
    } else {
        constexpr int32_t level = N == 32 ? 0 : N == 16 ? 1 : N == 8 ? 2 : N == 4 ? 3 : 4;
        const float* s = t.dctScale[level];
        float a[N / 2], b[N / 2], ea[N / 2], eb[N / 2];
        for (int32_t n = 0; n < N / 2; ++n) {
            a[n] = in[n] + in[N - 1 - n];
            b[n] = (in[n] - in[N - 1 - n]) * s[n];
        }
        Dct<N / 2>(a, ea, t);
        Dct<N / 2>(b, eb, t);
        for (int32_t k = 0; k < N / 2 - 1; ++k) {
            out[2 * k] = ea[k];
            out[2 * k + 1] = eb[k] + eb[k + 1];
        }
        out[N - 2] = ea[N / 2 - 1];
        out[N - 1] = eb[N / 2 - 1];
    }
}

inline int32_t RoundSample(float v)
{
    // Corrupt streams can produce any float; keep the conversion defined.
    constexpr float kLimit = 2147483520.0f;
    v = v < kLimit ? v : kLimit;
    v = v > -kLimit ? v : -kLimit;
    return int32_t(std::lrintf(v));
}

} // namespace

void MP3Synthesis::Reset()
{
    std::memset(v_, 0, sizeof v_);
    newest_ = 0;
}

void MP3Synthesis::Run(const float* in, int32_t* out, int32_t stride)
{
    for (int32_t t = 0; t < 18; ++t)
        Slot(in + t * 32, out + t * 32 * stride, stride);
}

void MP3Synthesis::Slot(const float* in, int32_t* out, int32_t stride)
{
    const Tables& t = GetTables();
    float s[32], x[32];
    std::memcpy(s, in, sizeof s);
    Dct<32>(s, x, t);

    newest_ = (newest_ + 15) & 15;
    float* v = v_[newest_];
    // V[i] = sum S[k] cos((16 + i)(2k + 1) pi / 64) expressed through the DCT-II.
    for (int32_t i = 0; i < 16; ++i)
        v[i] = x[i + 16];
    v[16] = 0.0f;
    for (int32_t i = 17; i < 48; ++i)
        v[i] = -x[48 - i];
    for (int32_t i = 48; i < 64; ++i)
        v[i] = -x[i - 48];

    alignas(32) float acc[32] = {};
    for (int32_t i = 0; i < 8; ++i) {
        const float* a = v_[(newest_ + 2 * i) & 15];
        const float* b = v_[(newest_ + 2 * i + 1) & 15] + 32;
        const float* d0 = t.window + 64 * i;
        const float* d1 = d0 + 32;
        for (int32_t j = 0; j < 32; ++j)
            acc[j] += a[j] * d0[j] + b[j] * d1[j];
    }
    for (int32_t j = 0; j < 32; ++j)
        out[j * stride] = RoundSample(acc[j]);
}
