#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>

// Every level written to an output device or a mixer control: a dB value
// (clamped to -127..+127) becomes 0 at -36 dB and below, otherwise
// (dB + 36) * 1424 limited to 65535. So +10 dB gives 65504 and +11 dB and more
// full scale.
inline uint16_t LDbToDeviceLevel(int32_t dB)
{
    dB = std::clamp(dB, -127, 127);
    if (dB <= -36)
        return 0;
    return uint16_t(std::min<int32_t>((dB + 36) * 1424, 65535));
}

// A player's volume as a Q24 gain on its samples: 10^(dB / 20), so 0 dB plays
// the audio unchanged and -6 dB at about half; -36 dB and below is silent, as
// for the device levels, and above +40 dB the gain stays at +40 dB's (a Q24
// gain ends below +42 dB).
inline int32_t LDbToGain(int32_t dB)
{
    if (dB <= -36)
        return 0;
    return int32_t(std::lround(std::ldexp(std::pow(10.0, std::min(dB, 40) / 20.0), 24)));
}
