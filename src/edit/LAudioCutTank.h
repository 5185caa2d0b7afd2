#pragma once
#include <cstdint>
#include <mutex>
#include <sys/types.h>
#include <string>
#include <vector>

// Segment references: 0..65534 name real segments, 65535 is silence.
using LSegmentRef = uint16_t;
inline constexpr LSegmentRef kSilentSegment = 65535;

// The process-wide store of audio segments. Each segment is a raw ".aud" file of
// 32-bit little-endian frames and a ".grf" file of peaks, named by its number in
// the working folder. Cut lists share segments by reference counts; a segment's
// files go with its last reference. Thread-safe.
//
// One tank owns one working folder: the editor uses its configured folder, every
// other process (command-line tool, tests) a private folder of its own, made
// fresh under the temporary folder and removed at exit. A private folder holds a
// lock for its owner's life (LTankFolderLock.h); making one first removes those
// whose owner is gone, so a crash or a kill leaves nothing behind for long.
class LAudioCutTank {
public:
    static LAudioCutTank& Get();

    // Uses `folder` (created when missing). Only before the first segment exists.
    void SetWorkingFolder(const std::string& folder);
    // Uses a fresh private folder under the temporary folder, removed with the tank.
    bool UsePrivateFolder();
    // Deletes every segment file, and the folder itself when it is private; the
    // tank starts over empty (a new private folder on next use). Run at exit, and
    // by a process that ends without running its static destructors (_exit).
    void ReleaseFolder();
    // The working folder; a private one is made on first use when none was set.
    std::string GetWorkingFolder();

    // The lowest free number with its count set to 1, or kSilentSegment when all
    // 65535 numbers are in use.
    LSegmentRef GetNewRefAndIncRef();
    // Adds one reference; silence is ignored. Counts are 32-bit: a segment shared by
    // more than 65535 cuts (a long repeat, a heavily edited recording) must not
    // lose count and have its files deleted while cuts still name it.
    void IncRef(LSegmentRef ref);
    // Adds one reference to each of `refs` under one lock.
    void IncRefAll(const std::vector<LSegmentRef>& refs);
    // Drops one reference; the last one deletes the segment's files.
    void DecRef(LSegmentRef ref);
    void DecRefAll(const std::vector<LSegmentRef>& refs);
    uint32_t RefCount(LSegmentRef ref);
    // Number of live segments.
    int32_t LiveSegments();

    // File paths, empty for silence.
    std::string GetAudFilePath(LSegmentRef ref);
    std::string GetGrfFilePath(LSegmentRef ref);

    // ReleaseFolder().
    ~LAudioCutTank();

private:
    LAudioCutTank();
    std::string FolderLocked();
    bool MakePrivateFolderLocked();
    std::string PathLocked(LSegmentRef ref, const char* ext);
    void DecRefLocked(LSegmentRef ref);

    // A forked child starts over in a folder of its own: it must never delete or
    // overwrite the segment files of the process it was forked from.
    void ForgetInheritedLocked();

    std::mutex mutex_;
    pid_t owner_ = 0;  // the process that set up folder_
    std::string folder_;
    bool privateFolder_ = false;
    int lockFd_ = -1;  // the private folder's lock, held while the folder is ours
    std::vector<uint32_t> counts_;
    int32_t live_ = 0;
};
