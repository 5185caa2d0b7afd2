#include "app/LKVVolume.h"

#include <algorithm>

uint16_t LKVDeviceVolume(int32_t db)
{
    if (db <= kLKVVolumeMinDb)
        return 0;
    return uint16_t(std::min<int64_t>((int64_t(db) + 36) * 1424, 65535));
}

int32_t LKVVolumeDb(uint32_t deviceVolume)
{
    return std::clamp(int32_t((deviceVolume & 0xFFFF) / 1424) - 36, kLKVVolumeMinDb, kLKVVolumeMaxDb);
}
