#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cd/LCDBurnDlgModel.h"
#include "cd/LCDBurnSettings.h"
#include "cd/LCDDataTree.h"
#include "cd/LCDWriteDataCD.h"

// What the data CD dialog edits and does, without its widgets: the files and
// folders (added at the top of the disc), the volume label, where the image
// goes (a file, or the recorder of settings.drive with the "CDRecorder"
// settings), the size against the disc, and the write. User-interface thread
// only; writing onto a disc runs the recorder on a worker thread.
class LCDDataDlgModel {
public:
    // The stored settings, an empty disc.
    LCDDataDlgModel();

    LCDBurnSettings settings;
    std::string label;
    std::string imagePath;  // write an image file here; empty: onto the disc in settings.drive

    const LCDDataTree& Tree() const { return *tree_; }
    // Adds a file or a folder at the top of the disc. False when it cannot be
    // added; the reason and anything left out have been shown.
    bool Add(const std::string& path);
    // Removes a node (any depth) and what it holds.
    bool Remove(const LCDFile* node);
    // Rock Ridge on or off: the tree is read again (links are kept or followed).
    void SetRockRidge(bool on);

    // Sectors the image takes.
    int32_t Sectors();
    // "12.34 MB in 5 files and 2 folders", and " of 702.83 MB" with a disc.
    std::string TotalText(const LCDBurnDlgModel::Disc* disc);

    // The drives and the disc in settings.drive, as the audio CD dialog sees them.
    std::vector<LCDBurnDlgModel::Drive> Drives();
    LCDBurnDlgModel::Disc ProbeDisc();

    // Writes the image under the progress window, then shows what went wrong or
    // what the user should know. The job's result; the settings are not stored here.
    int32_t Write();
    const LCDWriteDataCD::Data& LastRun() const { return last_; }

    static constexpr const char* kTitle = "Writing Data CD";

private:
    void ShowNotes(const std::vector<std::string>& notes);

    std::unique_ptr<LCDDataTree> tree_;
    LCDBurnDlgModel drives_;
    LCDWriteDataCD::Data last_;
};
