#pragma once
#include <string>
#include <vector>

// The "CD" page of the settings dialog without its widgets: the drives found,
// and the virtual drives kept in the setting "CD"/"VirtualDrives" (entries
// separated by commas), which the user adds and removes; those of
// KELVANE_CD_DRIVES are shown but belong to the run. Edits are kept here until
// Save(). UI thread only.
class LCDDriveSettings {
public:
    struct Row {
        std::string title;       // "CD-ROM 2 - KELVANE Virtual CD-RW"
        std::string detail;      // "/music/album.cue", with why it cannot be used, or where it comes from
        std::string entry;       // the virtual drive's entry; empty for a real drive
        bool removable = false;  // a stored entry (not a real drive, not one of the environment's)
    };

    LCDDriveSettings();
    // Every drive in the order they are numbered, as it will be after Save().
    std::vector<Row> Rows() const;
    // Adds a virtual drive. Empty on success, else the message to show (the
    // entry is not one, or its image cannot be used).
    std::string Add(const std::string& entry);
    void Remove(const std::string& entry);
    const std::vector<std::string>& Entries() const { return entries_; }
    // Writes the stored entries; false when the settings could not be written.
    bool Save() const;

private:
    std::vector<std::string> entries_;
};
