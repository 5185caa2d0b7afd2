#include "cd/LCDIsoDate.h"

#include <cstdio>
#include <cstring>
#include <ctime>

namespace LCDIsoDate {

namespace {

bool Local(int64_t seconds, std::tm& tm)
{
    const std::time_t t = std::time_t(seconds);
    return localtime_r(&t, &tm) != nullptr;
}

// tm_gmtoff counts east of UTC positive, as ISO 9660 does.
int8_t Offset(const std::tm& tm) { return int8_t(tm.tm_gmtoff / 900); }

} // namespace

void Record(int64_t seconds, uint8_t* out)
{
    std::memset(out, 0, 7);
    std::tm tm{};
    if (!Local(seconds, tm) || tm.tm_year < 0 || tm.tm_year > 255)
        return;
    out[0] = uint8_t(tm.tm_year);
    out[1] = uint8_t(tm.tm_mon + 1);
    out[2] = uint8_t(tm.tm_mday);
    out[3] = uint8_t(tm.tm_hour);
    out[4] = uint8_t(tm.tm_min);
    out[5] = uint8_t(tm.tm_sec);
    out[6] = uint8_t(Offset(tm));
}

void Descriptor(int64_t seconds, uint8_t* out)
{
    std::memset(out, '0', 16);
    out[16] = 0;
    std::tm tm{};
    if (!Local(seconds, tm) || tm.tm_year + 1900 > 9999 || tm.tm_year + 1900 < 1)
        return;
    char text[32];
    std::snprintf(text, sizeof text, "%.4d%.2d%.2d%.2d%.2d%.2d00", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                  tm.tm_hour, tm.tm_min, tm.tm_sec);
    std::memcpy(out, text, 16);
    out[16] = uint8_t(Offset(tm));
}

} // namespace LCDIsoDate
