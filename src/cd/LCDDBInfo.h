#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "cd/LCDDBLookup.h"
#include "cd/LCDToc.h"

class LProgressDialog;

// One track of a disc as the CD dialog lists it.
struct LCDTrackRecord {
    int32_t duration = 0;  // whole seconds
    std::string name;      // "Track %.2d" until a lookup names it; at most 259 bytes
    int32_t start = 0;     // LBA
    int32_t end = 0;       // LBA after the track: the next one's start, or the lead-out
    bool data = false;     // a data track, which holds no audio to rip
};

// A disc's table of contents with its titles, and the job that fills it:
// Process() reads the table of contents of the drive and, with `lookup` set,
// asks a CDDB server for the titles. Filled on the job's thread, read on the
// window's thread after the job.
class LCDDBInfo {
public:
    uint8_t drive = 0;
    bool lookup = false;
    std::string discTitle;
    uint8_t trackCount = 0;
    std::vector<LCDTrackRecord> tracks;

    // What the dialogs and kelvane-cd show beside the tracks.
    LCDToc toc;
    std::string cddbId;         // "%08x"
    std::string musicBrainzId;  // 28 characters
    std::string driveName;      // the device or the virtual drive's entry
    std::string error;          // why the drive or its table of contents failed
    LCDDBLookup::Options server;
    std::string lookupNote;     // how the lookup went

    // The job: 0 done (also when the lookup failed), 1 cancelled while reading
    // the table of contents, 2 the drive or its table of contents failed.
    static int32_t Process(LProgressDialog& dialog, LCDDBInfo& info);
    // Track names as a new disc has them: "Track 01", "Track 02", ...
    static std::string DefaultName(int32_t index);

    static constexpr size_t kMaxText = 259;
};
