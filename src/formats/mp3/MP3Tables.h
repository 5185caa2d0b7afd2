#pragma once
#include <cstdint>

// Scale-factor band boundaries of one sample rate, in spectral lines: 22 long
// bands over 576 lines and 13 short bands over 192 lines (per window).
struct MP3BandTable {
    int16_t longBounds[23];
    int16_t shortBounds[14];
};

// The band table for a stream: version 0-2 (MPEG-1, 2, 2.5) and sample-rate index 0-2.
const MP3BandTable& MP3Bands(int32_t version, int32_t sampleRateIndex);

// Pre-emphasis added to long-band scale factors when preflag is set (22 bands).
extern const uint8_t kMP3Pretab[22];

// Number of scale factors per band group for MPEG-2 and 2.5, by slen table (0-5)
// and block kind (0 long, 1 short, 2 mixed); short counts include all windows.
extern const uint8_t kMP3LsfBandCounts[6][3][4];

// Requantisation tables, computed once per process.
class MP3PowTables {
public:
    static constexpr int32_t kMaxValue = 8191 + 15;
    static constexpr int32_t kMinQuarter = -600;
    static constexpr int32_t kMaxQuarter = 64;

    static const MP3PowTables& Get();

    // |v|^(4/3) for v in 0..kMaxValue.
    float Pow43(int32_t v) const { return pow43_[v]; }
    // 2^(q/4); q outside kMinQuarter..kMaxQuarter is clamped (0 below).
    float Pow2Quarter(int32_t q) const
    {
        if (q < kMinQuarter)
            return 0.0f;
        return pow2q_[(q > kMaxQuarter ? kMaxQuarter : q) - kMinQuarter];
    }

private:
    MP3PowTables();
    float pow43_[kMaxValue + 1];
    float pow2q_[kMaxQuarter - kMinQuarter + 1];
};
