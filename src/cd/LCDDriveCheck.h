#pragma once
#include <cstdint>
#include <string>

#include "cd/LCDBurnSettings.h"
#include "cd/LCDRecorder.h"

class LSCSI;
class LProgressDialog;

// Makes sure a drive can write and holds a disc it may write on, before any
// writer (audio or data) starts: opens the drive, loads the tray, looks at its
// write parameters page and its capabilities, sets the speed, reads the disc
// information and blanks a CD-RW that is not blank when allowed. Shows the
// progress line "Checking drive and CD". Runs on the job's thread; shows no
// message: a failure comes back with the text to show.
class LCDDriveCheck {
public:
    struct Result {
        LCDDriveCapabilities capabilities;
        LCDDiscInformation disc;
        uint16_t speed = 0;  // the speed factor set (0: the drive's highest)
    };

    // 0 when the drive in `scsi` (opened here on settings.drive) is ready to
    // write, 1 cancelled, 2 failed with `message` set.
    static int32_t Run(LSCSI& scsi, LProgressDialog* progress, const LCDBurnSettings& settings, Result& result,
                       std::string& message);

    // The factor to set for `requested` on a drive whose highest write speed is
    // `maxKBs` (0 unknown): above the drive's highest it becomes maxKBs / 177.
    static uint16_t SpeedFor(uint16_t requested, uint16_t maxKBs);

    static constexpr const char* kCannotAccess = "The CD drive you have selected cannot be accessed.";
    static constexpr const char* kCannotWrite =
        "The selected CD-ROM drive cannot write or record CDs. Please select another drive.";
    static constexpr const char* kNoDisc =
        "There is no CD in the CD-ROM drive. Please insert a blank CDR and try again.";
    static constexpr const char* kNoCDRW =
        "The drive you have selected does not support CD-RWs. Please insert a blank CD-R and try again.";
    static constexpr const char* kNotBlankCDRW =
        "The CD-RW is not blank. To erase it, select the option \"Erase CD-RWs if they are not blank\" and try "
        "again.";
    static constexpr const char* kEraseFailed =
        "There was an error erasing the CD-RW. Please try another disk or try using a lower speed.";
    static constexpr const char* kWrittenCDR =
        "The CD-R you are attempting to use has already been written to and you cannot overwrite it. Please "
        "insert another blank CD-R.";
};
