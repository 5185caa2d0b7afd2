#pragma once
#include <algorithm>
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

// The same level on both channels of a device volume word (left in the low 16 bits).
inline uint32_t LDbToDeviceVolume(int32_t dB)
{
    const uint32_t level = LDbToDeviceLevel(dB);
    return level | (level << 16);
}

// The main window's volume control from a device volume word: the left
// channel's level / 1424 - 36.
inline int32_t LDeviceVolumeToDb(uint32_t volume) { return int32_t(volume & 0xFFFF) / 1424 - 36; }
