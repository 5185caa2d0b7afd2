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
// The editor's shared folder holds the same lock (kTankLockFile) for as long as
// the editor runs, so a lock that can be taken there means that whoever used
// the folder before is gone, and a folder whose lock is held belongs to another.
class LAudioCutTank {
public:
    static LAudioCutTank& Get();

    // Uses `folder` (created when missing). Only before the first segment exists.
    // False, with nothing changed, when another running process holds the folder:
    // two tanks in one folder would overwrite and delete each other's segments.
    // A folder that cannot be locked at all (read-only, no lock support) is
    // still used, but OwnsSharedFolder() stays false.
    bool SetWorkingFolder(const std::string& folder);
    // Uses a fresh private folder under the temporary folder, removed with the tank.
    bool UsePrivateFolder();
    // Deletes every segment file, and the folder itself when it is private; the
    // tank starts over empty (a new private folder on next use). Run at exit, and
    // by a process that ends without running its static destructors (_exit).
    void ReleaseFolder();
    // The working folder; a private one is made on first use when none was set.
    std::string GetWorkingFolder();
    // Whether this process holds the lock of a folder set by SetWorkingFolder
    // (not a private one): only then may it read what an earlier run left there.
    bool OwnsSharedFolder();

    // Start-up of a folder an earlier run may have left segments in: each of
    // `refs` gains one reference (a free one comes alive with its files as they
    // are), so no new segment takes its number and its files stay until the
    // references go. False when one was already alive in this process.
    bool ReserveSegments(const std::vector<LSegmentRef>& refs);
    // Deletes the ".aud" and ".grf" files of the working folder whose segment is
    // not alive in this process: what an earlier run left and nothing names.
    void RemoveDeadSegmentFiles();

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
    // Lets go of the folder and its lock, counting no segments, without touching
    // its files.
    void DropFolderLocked();


    std::mutex mutex_;
    pid_t owner_ = 0;  // the process that set up folder_
    std::string folder_;
    bool privateFolder_ = false;
    int lockFd_ = -1;  // the folder's lock, held while the folder is ours
    std::vector<uint32_t> counts_;
    int32_t live_ = 0;
};
