#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

// CD addresses. A sector (frame) is 1/75 s; LBA 0 is MSF 00:02:00, the first
// 150 sectors of the disc being track 1's pause before it.
inline constexpr int32_t kCDFramesPerSecond = 75;
inline constexpr int32_t kCDLeadInPause = 150;
inline constexpr int32_t kCDAudioSectorBytes = 2352;
inline constexpr int32_t kCDDataSectorBytes = 2048;
inline constexpr int32_t kCDFramesPerSector = 588;  // 16-bit stereo frames of 44100 Hz in one sector
// Capacities of recordable discs in sectors.
inline constexpr int32_t kCD74Sectors = 74 * 60 * 75;
inline constexpr int32_t kCD80Sectors = 80 * 60 * 75;

struct LCDMsf {
    uint8_t m = 0, s = 0, f = 0;
};

// MSF of an LBA as the drive reports it (LBA + 150). Negative LBAs of the lead-in
// wrap as the drive's 100-minute clock does (-1 is 99:59:74).
inline LCDMsf LCDLbaToMsf(int32_t lba)
{
    int64_t v = int64_t(lba) + kCDLeadInPause;
    if (v < 0)
        v += int64_t(100) * 60 * 75;
    return {uint8_t(v / (60 * 75) % 256), uint8_t(v / 75 % 60), uint8_t(v % 75)};
}

// Sectors of an "mm:ss:ff" time as CUE sheets write it (no 150 offset).
inline int32_t LCDFramesOf(int32_t m, int32_t s, int32_t f) { return (m * 60 + s) * kCDFramesPerSecond + f; }

// "mm:ss:ff" of a sector count, as CUE sheets write it.
inline std::string LCDTimeText(int32_t frames)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", int(frames / (60 * 75)), int(frames / 75 % 60), int(frames % 75));
    return text;
}
