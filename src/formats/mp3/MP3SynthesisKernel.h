#pragma once
#include <cmath>
#include <cstdint>
#include <cstring>

#include "formats/mp3/MP3Synthesis.h"

// The filter bank of MP3Synthesis::Run written on a lane type (MP3LanesPlain,
// MP3LanesSse2, MP3LanesAvx): Lanes::kCount time slots at a time, one per lane,
// each lane taking exactly the steps of a single slot. Included by the files that
// instantiate it; uses nothing but the lane type, <cmath>, <cstring> and
// constants, so that the instance compiled for AVX shares no code with the others.
template <class Lanes>
class MP3SynthesisKernel {
public:
    static void Run(float* history, const float* const* time, int32_t channels, int32_t slots, int32_t rowStride,
                    int32_t* out);

private:
    static constexpr int32_t kWidth = Lanes::kCount;
    static constexpr int32_t kHistory = MP3Synthesis::kHistory;
    static constexpr int32_t kStride = MP3Synthesis::kHistoryStride;
    static constexpr int32_t kRows = MP3Synthesis::kHistoryRows;
    using Coef = typename Lanes::Coef;

    // Where the windowed sums take their values from. The matrixed block V of a
    // slot is its DCT output x rearranged with signs: V[j] for j < 32 is x[16 + j],
    // 0 or -x[48 - j]; V[32 + j] is -x[16 - j] or -x[j - 16]. Output j of slot s
    // adds, for i = 0..7, V(s - 2i)[j] D[64 i + j] + V(s - 2i - 1)[32 + j] D[64 i + 32 + j].
    // A sign moved from V onto D gives the same product bit for bit.
    struct Tables {
        Coef dctScale[5][16];  // 1 / (2 cos((2n+1) pi / 2N)) for N = 32, 16, 8, 4, 2
        int8_t rowA[32];       // the x row of V[j] (32: the zero row)
        int8_t rowB[32];       // the x row of V[32 + j]
        Coef weightA[32][8];   // D[64 i + j] (scaled by 2^19), with V[j]'s sign
        Coef weightB[32][8];   // D[64 i + 32 + j], with V[32 + j]'s sign
        Tables();
    };
    static const Tables& GetTables()
    {
        static const Tables tables;
        return tables;
    }

    // Unnormalised DCT-II, out[m] = sum in[k] cos(m (2k+1) pi / 2N), by even/odd
    // splitting (B. G. Lee). `in` is used as scratch.
    // Inlined whole, so that the halves' results stay in registers where they can.
    template <int N>
    [[gnu::always_inline]] static inline void Dct(Lanes* in, Lanes* out, const Tables& t);

    // The DCT of the slots from `slot` into the history, then their 32 windowed
    // sums into acc.
    static void Slots(const Tables& t, const float* time, int32_t rowStride, int32_t slot, float* history,
                      Lanes* acc);
};

template <class Lanes>
MP3SynthesisKernel<Lanes>::Tables::Tables()
{
    // The prototype low-pass filter of the synthesis window, samples 0..256 in
    // units of 2^-16; it is symmetric about 256. The window D of the standard is
    // this prototype with the sign of every other block of 64 samples inverted.
    static constexpr int32_t kWindowHalf[257] = {
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
    const double pi = 3.14159265358979323846;
    const double scale = 524288.0 / 65536.0;
    float window[512];
    for (int32_t i = 0; i < 512; ++i) {
        double d = i <= 256 ? kWindowHalf[i] : kWindowHalf[512 - i];
        if ((i >> 6) & 1)
            d = -d;
        window[i] = float(d * scale);
    }
    for (int32_t level = 0, n = 32; level < 5; ++level, n /= 2)
        for (int32_t i = 0; i < n / 2; ++i)
            dctScale[level][i] = Lanes::MakeCoef(float(0.5 / std::cos((2 * i + 1) * pi / (2.0 * n))));
    for (int32_t j = 0; j < 32; ++j) {
        const float signA = j <= 16 ? 1.0f : -1.0f;
        rowA[j] = int8_t(j < 16 ? 16 + j : j == 16 ? 32 : 48 - j);
        rowB[j] = int8_t(j < 16 ? 16 - j : j - 16);
        for (int32_t i = 0; i < 8; ++i) {
            weightA[j][i] = Lanes::MakeCoef(signA * window[64 * i + j]);
            weightB[j][i] = Lanes::MakeCoef(-window[64 * i + 32 + j]);
        }
    }
}

template <class Lanes>
template <int N>
inline void MP3SynthesisKernel<Lanes>::Dct(Lanes* in, Lanes* out, const Tables& t)
{
    if constexpr (N == 1) {
        out[0] = in[0];
    } else {
        constexpr int32_t level = N == 32 ? 0 : N == 16 ? 1 : N == 8 ? 2 : N == 4 ? 3 : 4;
        const Coef* s = t.dctScale[level];
        Lanes a[N / 2], b[N / 2], ea[N / 2], eb[N / 2];
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

template <class Lanes>
void MP3SynthesisKernel<Lanes>::Run(float* history, const float* const* time, int32_t channels, int32_t slots,
                                    int32_t rowStride, int32_t* out)
{
    const Tables& t = GetTables();
    for (int32_t slot = 0; slot < slots; slot += kWidth) {
        Lanes acc[2][32];
        for (int32_t ch = 0; ch < channels; ++ch)
            Slots(t, time[ch], rowStride, slot, history + ch * kRows * kStride, acc[ch]);
        // The sums hold output j of kWidth slots; turn each square block of them
        // into kWidth slots of kWidth outputs.
        const int32_t n = slots - slot < kWidth ? slots - slot : kWidth;
        for (int32_t j0 = 0; j0 < 32; j0 += kWidth) {
            for (int32_t ch = 0; ch < channels; ++ch)
                Lanes::Transpose(acc[ch] + j0);
            for (int32_t q = 0; q < n; ++q) {
                const int32_t at = (slot + q) * 32 + j0;
                if (channels == 2)
                    Lanes::StoreRoundedInterleaved(out + 2 * at, acc[0][j0 + q], acc[1][j0 + q]);
                else
                    Lanes::StoreRounded(out + at, acc[0][j0 + q]);
            }
        }
    }
    // Keep the last kHistory slots (slot s sits at kHistory + s) for the next call.
    for (int32_t ch = 0; ch < channels; ++ch)
        for (int32_t m = 0; m < 32; ++m) {
            float* row = history + (ch * kRows + m) * kStride;
            std::memmove(row, row + slots, kHistory * sizeof(float));
        }
}

template <class Lanes>
void MP3SynthesisKernel<Lanes>::Slots(const Tables& t, const float* time, int32_t rowStride, int32_t slot,
                                      float* history, Lanes* acc)
{
    Lanes s[32], x[32];
    for (int32_t sb = 0; sb < 32; ++sb)
        s[sb] = Lanes::Load(time + sb * rowStride + slot);
    Dct<32>(s, x, t);
    for (int32_t m = 0; m < 32; ++m)
        x[m].Store(history + m * kStride + kHistory + slot);

    for (int32_t j = 0; j < 32; ++j) {
        const float* a = history + t.rowA[j] * kStride + kHistory + slot;
        const float* b = history + t.rowB[j] * kStride + kHistory + slot - 1;
        const Coef* wa = t.weightA[j];
        const Coef* wb = t.weightB[j];
        Lanes sum = Lanes::Zero();
        for (int32_t i = 0; i < 8; ++i)
            sum = sum + (Lanes::Load(a - 2 * i) * wa[i] + Lanes::Load(b - 2 * i) * wb[i]);
        acc[j] = sum;
    }
}
