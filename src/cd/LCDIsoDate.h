#pragma once
#include <cstdint>

// Dates as ISO 9660 records them: local time with its offset from UTC in
// quarter hours, east positive.
namespace LCDIsoDate {

// The 7-byte form of directory records and Rock Ridge TF: years since 1900,
// month, day, hour, minute, second, offset.
void Record(int64_t seconds, uint8_t* out7);
// The 17-byte form of the volume descriptors: "YYYYMMDDhhmmss00" and the offset
// as a signed byte.
void Descriptor(int64_t seconds, uint8_t* out17);

} // namespace LCDIsoDate
