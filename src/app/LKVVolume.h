#pragma once
#include <cstdint>

// The frame's volume control, in dB from kLKVVolumeMinDb to kLKVVolumeMaxDb,
// against the 16-bit volume of the wave-out device (the same on both channels).
inline constexpr int32_t kLKVVolumeMinDb = -36;
inline constexpr int32_t kLKVVolumeMaxDb = 10;

// 0 (mute) at -36 dB or less, else (dB + 36) x 1424, at most 65535.
uint16_t LKVDeviceVolume(int32_t db);
// The control's position for a device volume word (its low 16 bits):
// volume / 1424 - 36, kept inside the control's range.
int32_t LKVVolumeDb(uint32_t deviceVolume);
