#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cd/LCDFile.h"

// The files and folders chosen for a data CD, read from disk into an LCDFile
// tree under one root. Folders are read with everything in them. With Rock
// Ridge a symbolic link inside a folder stays a link; without it, the file or
// folder it names is taken, and a link that leads back into a folder holding it
// is left out. Files of 4 GiB or more are refused: ISO 9660 records a file's
// size in 32 bits. User-interface thread or a job's, one at a time.
class LCDDataTree {
public:
    explicit LCDDataTree(bool rockRidge = true);

    // Adds a file or a folder (and what it holds) from disk into `into` (the
    // root when null). False with Error() set when it cannot be added at all;
    // what was left out or read as empty is told in Notes().
    bool Add(const std::string& path, LCDFile* into = nullptr);
    // Removes a node and what it holds; false for the root or a stranger.
    bool Remove(const LCDFile* node);

    LCDFile& Root() { return *root_; }
    const LCDFile& Root() const { return *root_; }
    bool Empty() const { return root_->children.empty(); }
    bool RockRidge() const { return rockRidge_; }
    // Bytes of all files.
    uint64_t TotalBytes() const;
    // Files and folders below the root.
    int32_t Count() const;

    const std::string& Error() const { return error_; }
    const std::vector<std::string>& Notes() const { return notes_; }
    void ClearNotes() { notes_.clear(); }

    // The largest file an ISO 9660 image records in one piece.
    static constexpr uint64_t kMaxFileBytes = 0xFFFFFFFFull;

private:
    struct Identity {
        uint64_t device, inode;
    };
    bool AddNode(const std::string& path, LCDFile& into, bool top, std::vector<Identity>& ancestors);

    std::unique_ptr<LCDFile> root_;
    bool rockRidge_;
    std::string error_;
    std::vector<std::string> notes_;
};
