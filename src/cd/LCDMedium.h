#pragma once
#include <cstdint>
#include <string>

class LSCSI;

// What is in a drive, in a few words for listings ("audio CD, 5 tracks, 23:41",
// "blank CD-R, 80 min", "no disc"), found out with TEST UNIT READY, READ DISC
// INFORMATION, READ TOC and the ATIP. Never fails: a drive that does not answer
// is "unknown (why)".
class LCDMedium {
public:
    static std::string Describe(LSCSI& scsi);
    // "m:ss" of a sector count (75 a second), as track lists show durations.
    static std::string Duration(int32_t sectors);
};
