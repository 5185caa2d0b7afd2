#pragma once
#include <cstdint>

#include "core/LSRCFilterBase.h"
#include "effects/LEfSourceMaker.h"

// A constant gain in Q24 (kQ24Unity is 1), rounded to nearest, for gains finer
// than the cut list's whole percents. Declares its input's maximum amplitude
// scaled by the gain, so that a peak limiter behind it knows what to expect.
class LSRCGain : public LSRCFilterBase {
public:
    // `gainQ24` is held to 0..0x7FFFFFFF (up to +42 dB).
    LSRCGain(LSoundSource upstream, int32_t gainQ24);
    void Read(int32_t* buffer, int32_t frames) override;

    // The Q24 gain of `db` decibels, held to 0..0x7FFFFFFF.
    static int32_t GainFromDb(double db);

private:
    int64_t gain_;
};

// Loudness normalization's chain: a gain, then (when `limit` > 0) the peak
// limiter at `limit` stream units, then a final gain that scales the limited
// sound down when its true peak still came out above the ceiling.
class LEfLoudnessGainMaker : public LEfSourceMaker {
public:
    LEfLoudnessGainMaker(int32_t gainQ24Value, uint32_t limitValue, int32_t trimQ24Value)
        : gainQ24(gainQ24Value), limit(limitValue), trimQ24(trimQ24Value)
    {
    }
    LSoundSource MakeSource(const LSoundSource& input) const override;

    int32_t gainQ24;
    uint32_t limit;  // 0: no limiter
    int32_t trimQ24;
};
