#include "core/LTempOutput.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/LFile.h"

namespace {

constexpr char kSavePrefix[] = ".kelvane-";
constexpr char kEncoderLogPrefix[] = "kelvane-encoder-";
constexpr size_t kRandomChars = 6;  // as mkstemp and mkdtemp make them

// `name` is `prefix` followed by exactly the random characters of a temporary name.
bool IsTemporaryName(const std::string& name, const std::string& prefix)
{
    if (name.size() != prefix.size() + kRandomChars || name.compare(0, prefix.size(), prefix) != 0)
        return false;
    for (size_t i = prefix.size(); i < name.size(); ++i) {
        const char c = name[i];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')))
            return false;
    }
    return true;
}

// Whether the folder open as `dirFd` holds no entry.
bool IsEmptyFolder(int dirFd)
{
    const int listFd = fcntl(dirFd, F_DUPFD_CLOEXEC, 0);
    DIR* dir = listFd >= 0 ? fdopendir(listFd) : nullptr;
    if (!dir) {
        if (listFd >= 0)
            ::close(listFd);
        return false;
    }
    // The copy shares the descriptor's position, which an earlier listing left at the end.
    rewinddir(dir);
    bool empty = true;
    while (dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            empty = false;
    }
    closedir(dir);
    return empty;
}

// Removes every entry of the folder open as `dirFd` (files only: a private folder
// holds nothing else); true when it held anything.
bool EmptyFolder(int dirFd)
{
    const int listFd = fcntl(dirFd, F_DUPFD_CLOEXEC, 0);
    DIR* dir = listFd >= 0 ? fdopendir(listFd) : nullptr;
    if (!dir) {
        if (listFd >= 0)
            ::close(listFd);
        return false;
    }
    rewinddir(dir);
    bool any = false;
    while (dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        any = true;
        unlinkat(dirFd, name.c_str(), 0);
    }
    closedir(dir);
    return any;
}

// Removes the abandoned entry `name` of the folder open as `parentFd`.
void RemoveIfAbandoned(int parentFd, const std::string& name)
{
    struct stat st;
    if (fstatat(parentFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || st.st_uid != geteuid())
        return;
    const bool folder = S_ISDIR(st.st_mode);
    if (!folder && !S_ISREG(st.st_mode))
        return;
    const int fd = openat(parentFd, name.c_str(),
                          O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | (folder ? O_DIRECTORY : 0));
    if (fd < 0)
        return;
    // Held by a live writer (or by an encoder it started): not abandoned.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return;
    }
    // A writer creates its entry and locks it in two steps; an empty entry may be
    // one between them. A dead writer's empty entry goes on a later run.
    struct stat now;
    const bool empty = fstat(fd, &now) == 0 && (folder ? IsEmptyFolder(fd) : now.st_size == 0);
    const bool recent = std::time(nullptr) - now.st_mtime < LTempOutput::kEmptyGraceSeconds;
    if (folder) {
        if (!(empty && recent)) {
            EmptyFolder(fd);
            unlinkat(parentFd, name.c_str(), AT_REMOVEDIR);
        }
    } else if (!(empty && recent)) {
        unlinkat(parentFd, name.c_str(), 0);
    }
    ::close(fd);
}

} // namespace

LTempOutput::~LTempOutput() { Abandon(); }

bool LTempOutput::Create(const std::string& target)
{
    Abandon();
    const std::string where = GetFolderFromPath(target);
    std::string folder = FilePathCat(where.empty() ? "." : where, std::string(kSavePrefix) + "XXXXXX");
    if (!mkdtemp(folder.data()))
        return false;
    folderFd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folderFd_ < 0 || flock(folderFd_, LOCK_EX) != 0) {
        const int error = errno;
        if (folderFd_ >= 0)
            ::close(folderFd_);
        folderFd_ = -1;
        ::rmdir(folder.c_str());
        errno = error;
        return false;
    }
    // The extension tells the writer the type.
    const std::string path = FilePathCat(folder, "p" + GetFileExtension(GetFileFromPath(target)));
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        const int error = errno;
        ::close(folderFd_);
        folderFd_ = -1;
        ::rmdir(folder.c_str());
        errno = error;
        return false;
    }
    ::close(fd);
    target_ = target;
    folder_ = folder;
    path_ = path;
    return true;
}

bool LTempOutput::Commit()
{
    if (folderFd_ < 0) {
        errno = EBADF;
        return false;
    }
    const int fd = ::open(path_.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    bool ok = fd >= 0 && ::fdatasync(fd) == 0;
    if (ok)
        fchmod(fd, ReplacementFileMode(target_));
    int error = errno;
    if (fd >= 0)
        ::close(fd);
    if (ok && ::rename(path_.c_str(), target_.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        Abandon();
        errno = error;
        return false;
    }
    // The file is in place whatever this says: a folder that cannot be flushed
    // is not a reason to call the save failed.
    SyncFolder(GetFolderFromPath(target_));
    ::rmdir(folder_.c_str());
    ::close(folderFd_);
    folderFd_ = -1;
    return true;
}

void LTempOutput::Abandon()
{
    if (folderFd_ < 0)
        return;
    EmptyFolder(folderFd_);
    ::rmdir(folder_.c_str());
    ::close(folderFd_);
    folderFd_ = -1;
}

void LTempOutput::RemoveAbandoned(const std::string& folder)
{
    const std::string where = folder.empty() ? "." : folder;
    {
        static std::mutex mutex;
        static std::set<std::string> seen;
        std::lock_guard<std::mutex> lock(mutex);
        if (!seen.insert(where).second)
            return;
    }
    const int parentFd = ::open(where.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parentFd < 0)
        return;
    for (const std::string& name : ListFolder(where))
        if (IsTemporaryName(name, kSavePrefix) || IsTemporaryName(name, kEncoderLogPrefix))
            RemoveIfAbandoned(parentFd, name);
    ::close(parentFd);
}
