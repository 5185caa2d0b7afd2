#include "edit/LAudioCutTank.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "core/LFile.h"
#include "edit/LTankFolderLock.h"

LAudioCutTank& LAudioCutTank::Get()
{
    static LAudioCutTank tank;
    return tank;
}

LAudioCutTank::LAudioCutTank() : counts_(65536, 0) {}

namespace {

void DeleteByExtension(const std::string& folder, const char* ext)
{
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return;
    size_t n = std::string(ext).size();
    while (dirent* e = readdir(dir)) {
        std::string name = e->d_name;
        if (name.size() > n && name.compare(name.size() - n, n, ext) == 0)
            ::unlink(FilePathCat(folder, name).c_str());
    }
    closedir(dir);
}

} // namespace

LAudioCutTank::~LAudioCutTank() { ReleaseFolder(); }

void LAudioCutTank::ReleaseFolder()
{
    std::lock_guard lock(mutex_);
    if (folder_.empty() || owner_ != getpid())
        return;
    DeleteByExtension(folder_, ".aud");
    DeleteByExtension(folder_, ".grf");
    if (privateFolder_)
        DeleteFolderAndFiles(folder_);
    DropFolderLocked();
}

void LAudioCutTank::ForgetInheritedLocked()
{
    if (folder_.empty() || owner_ == getpid())
        return;
    // Closing our copy leaves the parent's lock held: it is the parent's descriptor too.
    DropFolderLocked();
}

void LAudioCutTank::DropFolderLocked()
{
    if (lockFd_ >= 0)
        ::close(lockFd_);
    lockFd_ = -1;
    folder_.clear();
    privateFolder_ = false;
    std::fill(counts_.begin(), counts_.end(), 0);
    live_ = 0;
}

bool LAudioCutTank::MakePrivateFolderLocked()
{
    const std::string parent = GetTempFolder();
    LRemoveAbandonedTankFolders(parent);
    std::string folder;
    int fd = LMakeLockedTankFolder(parent, folder);
    if (fd < 0)
        return false;
    // A folder given up unreleased becomes free to the next sweep.
    if (lockFd_ >= 0)
        ::close(lockFd_);
    folder_ = folder;
    owner_ = getpid();
    privateFolder_ = true;
    lockFd_ = fd;
    return true;
}

// The shared folder's lock file stays when its owner ends: unlinking it would
// let a process that opened the old file hold a lock nobody else can see.
bool LAudioCutTank::SetWorkingFolder(const std::string& folder)
{
    std::lock_guard lock(mutex_);
    ForgetInheritedLocked();
    CreateFolders(folder);
    int fd = ::open(FilePathCat(folder, kTankLockFile).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool busy = errno == EWOULDBLOCK;
        ::close(fd);
        fd = -1;
        if (busy)
            return false;
    }
    if (lockFd_ >= 0)
        ::close(lockFd_);
    lockFd_ = fd;
    folder_ = folder;
    owner_ = getpid();
    privateFolder_ = false;
    return true;
}

bool LAudioCutTank::OwnsSharedFolder()
{
    std::lock_guard lock(mutex_);
    ForgetInheritedLocked();
    return !folder_.empty() && !privateFolder_ && lockFd_ >= 0;
}

bool LAudioCutTank::ReserveSegments(const std::vector<LSegmentRef>& refs)
{
    std::lock_guard lock(mutex_);
    ForgetInheritedLocked();
    bool fresh = true;
    for (LSegmentRef ref : refs) {
        if (ref == kSilentSegment)
            continue;
        if (counts_[ref] == 0)
            ++live_;
        else
            fresh = false;
        if (counts_[ref] != UINT32_MAX)
            ++counts_[ref];
    }
    return fresh;
}

void LAudioCutTank::RemoveDeadSegmentFiles()
{
    std::lock_guard lock(mutex_);
    const std::string folder = FolderLocked();
    for (const std::string& name : ListFolder(folder)) {
        const std::string ext = GetFileExtension(name);
        if (ext != ".aud" && ext != ".grf")
            continue;
        const std::string stem = name.substr(0, name.size() - ext.size());
        char* end = nullptr;
        const unsigned long n = std::strtoul(stem.c_str(), &end, 10);
        const bool alive = !stem.empty() && *end == '\0' && n < kSilentSegment && counts_[n] != 0 &&
                           std::to_string(n) == stem;
        if (!alive)
            ::unlink(FilePathCat(folder, name).c_str());
    }
}

bool LAudioCutTank::UsePrivateFolder()
{
    std::lock_guard lock(mutex_);
    return MakePrivateFolderLocked();
}

std::string LAudioCutTank::FolderLocked()
{
    ForgetInheritedLocked();
    if (folder_.empty())
        MakePrivateFolderLocked();
    return folder_;
}

std::string LAudioCutTank::GetWorkingFolder()
{
    std::lock_guard lock(mutex_);
    return FolderLocked();
}

LSegmentRef LAudioCutTank::GetNewRefAndIncRef()
{
    std::lock_guard lock(mutex_);
    ForgetInheritedLocked();
    for (uint32_t n = 0; n < kSilentSegment; ++n) {
        if (counts_[n] == 0) {
            counts_[n] = 1;
            ++live_;
            return LSegmentRef(n);
        }
    }
    return kSilentSegment;
}

void LAudioCutTank::IncRef(LSegmentRef ref)
{
    if (ref == kSilentSegment)
        return;
    std::lock_guard lock(mutex_);
    if (counts_[ref] != UINT32_MAX)
        ++counts_[ref];
}

void LAudioCutTank::IncRefAll(const std::vector<LSegmentRef>& refs)
{
    std::lock_guard lock(mutex_);
    for (LSegmentRef ref : refs)
        if (ref != kSilentSegment && counts_[ref] != UINT32_MAX)
            ++counts_[ref];
}

void LAudioCutTank::DecRef(LSegmentRef ref)
{
    if (ref == kSilentSegment)
        return;
    std::lock_guard lock(mutex_);
    DecRefLocked(ref);
}

void LAudioCutTank::DecRefAll(const std::vector<LSegmentRef>& refs)
{
    std::lock_guard lock(mutex_);
    for (LSegmentRef ref : refs)
        if (ref != kSilentSegment)
            DecRefLocked(ref);
}

void LAudioCutTank::DecRefLocked(LSegmentRef ref)
{
    if (counts_[ref] == 0)
        return;
    if (counts_[ref] == 1) {
        --live_;
        ::unlink(PathLocked(ref, ".aud").c_str());
        ::unlink(PathLocked(ref, ".grf").c_str());
        counts_[ref] = 0;
    } else {
        --counts_[ref];
    }
}

uint32_t LAudioCutTank::RefCount(LSegmentRef ref)
{
    std::lock_guard lock(mutex_);
    return counts_[ref];
}

int32_t LAudioCutTank::LiveSegments()
{
    std::lock_guard lock(mutex_);
    return live_;
}

std::string LAudioCutTank::PathLocked(LSegmentRef ref, const char* ext)
{
    if (ref == kSilentSegment)
        return {};
    return FilePathCat(FolderLocked(), std::to_string(ref) + ext);
}

std::string LAudioCutTank::GetAudFilePath(LSegmentRef ref)
{
    std::lock_guard lock(mutex_);
    return PathLocked(ref, ".aud");
}

std::string LAudioCutTank::GetGrfFilePath(LSegmentRef ref)
{
    std::lock_guard lock(mutex_);
    return PathLocked(ref, ".grf");
}
