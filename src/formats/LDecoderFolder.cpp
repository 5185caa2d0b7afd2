#include "formats/LDecoderFolder.h"

#include <cerrno>
#include <mutex>
#include <unistd.h>

#include "core/LFile.h"
#include "edit/LTankFolderLock.h"

namespace {

constexpr char kPrefix[] = "kelvane-decode-";

struct Folder {
    std::mutex mutex;
    std::string path;
    int lockFd = -1;
    pid_t owner = 0;

    // Called with the mutex held.
    void Drop(bool remove)
    {
        if (remove && !path.empty())
            DeleteFolderAndFiles(path);
        if (lockFd >= 0)
            ::close(lockFd);
        lockFd = -1;
        path.clear();
    }

    ~Folder()
    {
        std::lock_guard lock(mutex);
        Drop(owner == ::getpid());
    }
};

Folder& State()
{
    static Folder folder;
    return folder;
}

} // namespace

std::string LDecoderFolder::Get()
{
    Folder& f = State();
    std::lock_guard lock(f.mutex);
    // A forked child shares its parent's folder and lock: it leaves both to the
    // parent (closing its copy of the descriptor keeps the parent's lock).
    if (!f.path.empty() && f.owner != ::getpid())
        f.Drop(false);
    if (!f.path.empty() && FolderExists(f.path))
        return f.path;
    f.Drop(true);
    const std::string parent = GetTempFolder();
    LRemoveAbandonedPrivateFolders(parent, kPrefix);
    std::string made;
    const int fd = LMakeLockedPrivateFolder(parent, kPrefix, made);
    if (fd < 0) {
        if (errno == 0)
            errno = EACCES;
        return {};
    }
    f.path = made;
    f.lockFd = fd;
    f.owner = ::getpid();
    return f.path;
}

void LDecoderFolder::Release()
{
    Folder& f = State();
    std::lock_guard lock(f.mutex);
    f.Drop(f.owner == ::getpid());
}
