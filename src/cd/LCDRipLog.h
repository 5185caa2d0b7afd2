#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "cd/LCDROMRipSectors.h"

// The record of a rip that users of verifying rippers keep beside the files
// ("rip.log"): the drive and its read offset, the disc's ids, and for every
// track its AccurateRip checksums (8 hexadecimal digits each), how many
// sectors had to be read again and which could not be read, by time in the
// track ("m:ss.ff", ff the sector within the second).
class LCDRipLog {
public:
    struct Track {
        int32_t number = 0;     // 1-based
        std::string name;
        std::string file;       // where it was saved, or empty
        int32_t start = 0;      // LBA
        int32_t result = 0;     // the rip's job result
        LCDROMRipSectors::Report report;
    };

    std::string drive;          // "CD-ROM 1 (/dev/sr0)"
    int32_t readOffset = 0;
    bool secure = true;
    std::string cddbId, musicBrainzId;
    std::string discTitle;
    std::vector<Track> tracks;

    std::string Text() const;
    // Writes Text() to `path`; false with `error` a sentence naming the file.
    bool Write(const std::string& path, std::string& error) const;

    // "m:ss.ff" of `sectors` into a track.
    static std::string Time(int32_t sectors);
    // "0x%08X"-less 8 hexadecimal digits, as the logs of other rippers print them.
    static std::string Hex(uint32_t value);
    // One line on a track: "verified", "2 unreadable sectors (0:01.20, ...)", "cancelled", "failed: ...".
    static std::string Outcome(const Track& track);
};
