#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "cd/LCDBurnSettings.h"
#include "cd/LCDDataTree.h"

class LProgressDialog;
class LScsiClock;

// Writes a data CD: the tree of files as an ISO 9660 file system with a Joliet
// tree and (unless switched off) Rock Ridge entries, either into an image file
// or sector by sector onto a blank CD in a recorder (drive check, write
// parameters for a Mode 1 data track, WRITE, cache synchronisation, session
// close). The image is streamed: only the directories and path tables are held
// in memory, the file data goes from each file to its sectors. Runs on a job's
// thread (RunJobOnWorker for a recorder): it shows nothing itself and leaves what
// there is to say in the data.
class LCDWriteDataCD {
public:
    struct Data {
        LCDDataTree* tree = nullptr;  // what to write; not owned
        std::string label;            // the volume label
        std::string imagePath;        // write an image file here; empty: onto the disc
        LCDBurnSettings settings;     // the drive and how to write onto it
        LScsiClock* clock = nullptr;  // what the drive's waits go through; null: real time
        int64_t now = 0;              // the volume's creation time; 0: the current time
        // Filled in by Process:
        std::string message;          // with result 2: what went wrong
        std::vector<std::string> notes;  // what the user should know (files read short or long, ...)
        int32_t startSector = 0;      // where the image begins on the disc
        int32_t sectors = 0;          // the image's sectors
    };

    // The job: 0 done, 1 cancelled, 2 failed (data.message says why).
    static int32_t Process(LProgressDialog& dialog, Data& data);

    // Whether `imagePath` lies in one of the tree's folders or is one of its
    // files, which would have the image read into itself.
    static bool ImageInsideTree(const LCDDataTree& tree, const std::string& imagePath);

    static constexpr const char* kNoFiles = "CD Write failed because there are no files to write.";
    static constexpr const char* kCannotOpenIso = "Cannot open the ISO file to write \"%s\".";
    static constexpr const char* kCapacity =
        "The CD has a capacity of %4.2fMb and you are trying to write %4.2fMb. Please insert a larger capacity CD or "
        "try fewer tfiles.";
    static constexpr const char* kWritingText = "Writing CD Data";
    static constexpr const char* kStartingText = "Starting the Write";
    // Sectors sent to the drive in one WRITE(10).
    static constexpr int32_t kWriteSectors = 26;
};
