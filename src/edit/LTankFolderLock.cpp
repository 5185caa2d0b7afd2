#include "edit/LTankFolderLock.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/LFile.h"

namespace {

constexpr char kPrefix[] = "kelvane-tank-";
constexpr time_t kUnlockedGraceSeconds = 3600;

} // namespace

int LMakeLockedTankFolder(const std::string& parent, std::string& folder)
{
    return LMakeLockedPrivateFolder(parent, kPrefix, folder);
}

int LRemoveAbandonedTankFolders(const std::string& parent) { return LRemoveAbandonedPrivateFolders(parent, kPrefix); }

int LMakeLockedPrivateFolder(const std::string& parent, const char* prefix, std::string& folder)
{
    std::string templ = FilePathCat(parent, std::string(prefix) + "XXXXXX");
    if (!mkdtemp(templ.data()))
        return -1;
    // Locked under a passing name first: a sweep only looks at kTankLockFile, and
    // by the time that name exists the lock on it is held.
    const std::string fresh = FilePathCat(templ, std::string(kTankLockFile) + ".new");
    const std::string lockPath = FilePathCat(templ, kTankLockFile);
    int fd = ::open(fresh.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::rename(fresh.c_str(), lockPath.c_str()) != 0) {
        if (fd >= 0)
            ::close(fd);
        DeleteFolderAndFiles(templ);
        return -1;
    }
    folder = templ;
    return fd;
}

int LRemoveAbandonedPrivateFolders(const std::string& parent, const char* prefix)
{
    DIR* dir = opendir(parent.c_str());
    if (!dir)
        return 0;
    int removed = 0;
    const size_t prefixSize = std::strlen(prefix);
    while (dirent* e = readdir(dir)) {
        if (std::strncmp(e->d_name, prefix, prefixSize) != 0)
            continue;
        const std::string folder = FilePathCat(parent, e->d_name);
        struct stat st {};
        if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid())
            continue;
        const std::string lockPath = FilePathCat(folder, kTankLockFile);
        int fd = ::open(lockPath.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0) {
            // No lock file: a folder being made this instant, or one from a crash
            // before its lock existed. Only the second stays untouched for long.
            if (errno == ENOENT && std::time(nullptr) - st.st_mtime > kUnlockedGraceSeconds && DeleteFolderAndFiles(folder))
                ++removed;
            continue;
        }
        // Holding the lock while deleting keeps a second sweeper out; its owner
        // can never come back, since a lock is only ever taken on a fresh folder.
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && DeleteFolderAndFiles(folder))
            ++removed;
        ::close(fd);
    }
    closedir(dir);
    return removed;
}
