#include "core/LLockFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/LFile.h"

bool LLockFile::Lock(const std::string& documentPath)
{
    Unlock();
    std::string path = ApplyNewFileExtension(documentPath, ".lck");
    // A releasing holder unlinks the file before closing it, so the file we lock
    // may already be unlinked: retry until the locked file is the one on disk.
    for (int attempt = 0; attempt < 100; ++attempt) {
        int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0)
            return true;
        if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
            bool busy = errno == EWOULDBLOCK;
            ::close(fd);
            return !busy;
        }
        struct stat locked, onDisk;
        if (fstat(fd, &locked) == 0 && ::stat(path.c_str(), &onDisk) == 0 && locked.st_ino == onDisk.st_ino &&
            locked.st_dev == onDisk.st_dev) {
            fd_ = fd;
            path_ = path;
            return true;
        }
        ::close(fd);
    }
    return true;
}

void LLockFile::Unlock()
{
    if (fd_ < 0)
        return;
    ::unlink(path_.c_str());
    ::close(fd_);
    fd_ = -1;
    path_.clear();
}
