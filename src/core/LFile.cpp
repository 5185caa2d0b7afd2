#include "core/LFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

LFile::~LFile() { Close(); }

LFile::LFile(LFile&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }

LFile& LFile::operator=(LFile&& other) noexcept
{
    if (this != &other) {
        Close();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

bool LFile::Open(const std::string& path, Mode mode)
{
    Close();
    int flags = O_CLOEXEC;
    switch (mode) {
    case Mode::Read: flags |= O_RDONLY; break;
    // Opening a FIFO for reading waits for a writer; without one it never returns.
    case Mode::ReadPlain: flags |= O_RDONLY | O_NONBLOCK; break;
    case Mode::ReadWrite: flags |= O_RDWR; break;
    case Mode::Create: flags |= O_RDWR | O_CREAT | O_TRUNC; break;
    case Mode::OpenAlways: flags |= O_RDWR | O_CREAT; break;
    }
    struct stat before;
    if (mode == Mode::ReadPlain && ::stat(path.c_str(), &before) == 0 && !S_ISREG(before.st_mode) &&
        !S_ISDIR(before.st_mode)) {
        // Not even opened: opening a device can have effects of its own.
        errno = ENXIO;
        return false;
    }
    do {
        fd_ = ::open(path.c_str(), flags, 0666);
    } while (fd_ < 0 && errno == EINTR);
    if (fd_ >= 0) {
        struct stat st;
        if (fstat(fd_, &st) != 0 || S_ISDIR(st.st_mode)) {
            Close();
            errno = EISDIR;
        } else if (mode == Mode::ReadPlain &&
                   (!S_ISREG(st.st_mode) || fcntl(fd_, F_SETFL, fcntl(fd_, F_GETFL) & ~O_NONBLOCK) != 0)) {
            Close();
            errno = ENXIO;
        }
    }
    return fd_ >= 0;
}

bool LFile::Close()
{
    if (fd_ < 0)
        return true;
    // Linux releases the descriptor even when close() fails or is interrupted:
    // never retry, only report.
    const bool ok = ::close(fd_) == 0 || errno == EINTR;
    fd_ = -1;
    return ok;
}

int32_t LFile::Read(void* buffer, int32_t bytes)
{
    if (fd_ < 0 || bytes <= 0)
        return 0;
    int32_t done = 0;
    while (done < bytes) {
        ssize_t n = ::read(fd_, static_cast<char*>(buffer) + done, size_t(bytes - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += int32_t(n);
    }
    return done;
}

int32_t LFile::ReadAt(int64_t offset, void* buffer, int32_t bytes)
{
    if (fd_ < 0 || bytes <= 0 || offset < 0)
        return 0;
    int32_t done = 0;
    while (done < bytes) {
        ssize_t n = ::pread(fd_, static_cast<char*>(buffer) + done, size_t(bytes - done), off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += int32_t(n);
    }
    return done;
}

int32_t WriteAll(int fd, const void* buffer, int32_t bytes)
{
    if (fd < 0 || bytes <= 0)
        return 0;
    int32_t done = 0;
    while (done < bytes) {
        ssize_t n = ::write(fd, static_cast<const char*>(buffer) + done, size_t(bytes - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += int32_t(n);
    }
    return done;
}

int32_t LFile::Write(const void* buffer, int32_t bytes) { return WriteAll(fd_, buffer, bytes); }

bool LFile::Seek(int64_t offset)
{
    return fd_ >= 0 && offset >= 0 && ::lseek(fd_, off_t(offset), SEEK_SET) >= 0;
}

bool LFile::Skip(int64_t bytes) { return fd_ >= 0 && ::lseek(fd_, off_t(bytes), SEEK_CUR) >= 0; }

int64_t LFile::Tell() const
{
    if (fd_ < 0)
        return 0;
    off_t pos = ::lseek(fd_, 0, SEEK_CUR);
    return pos < 0 ? 0 : int64_t(pos);
}

int64_t LFile::GetFileSizeBytes() const
{
    struct stat st;
    if (fd_ < 0 || fstat(fd_, &st) != 0)
        return 0;
    return int64_t(st.st_size);
}

bool LFile::SetEndOfFile()
{
    if (fd_ < 0)
        return false;
    off_t pos = ::lseek(fd_, 0, SEEK_CUR);
    return pos >= 0 && ::ftruncate(fd_, pos) == 0;
}

bool LFile::Flush() { return fd_ >= 0 && ::fsync(fd_) == 0; }

bool WriteFileAtomically(const std::string& path, const void* bytes, size_t size, bool sync)
{
    // A name of its own for every call: two threads (or processes) replacing the
    // same file never write into each other's temporary file.
    std::string temp;
    const int fd = CreateLockedTempFile(GetFolderFromPath(path), ".kelvane-", temp);
    if (fd < 0)
        return false;
    bool ok = true;
    const char* p = static_cast<const char*>(bytes);
    for (size_t done = 0; ok && done < size;) {
        const ssize_t n = ::write(fd, p + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        if (ok)
            done += size_t(n);
    }
    ok = ok && fchmod(fd, ReplacementFileMode(path)) == 0;
    ok = ok && (!sync || ::fdatasync(fd) == 0);
    ok = ::close(fd) == 0 && ok;
    if (!ok || ::rename(temp.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        errno = error;
        return false;
    }
    if (sync)
        SyncFolder(GetFolderFromPath(path));
    return true;
}

bool SyncFolder(const std::string& folder)
{
    const int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0)
        return false;
    const bool ok = ::fsync(dir) == 0;
    ::close(dir);
    return ok;
}

int CreateLockedTempFile(const std::string& folder, const std::string& prefix, std::string& path)
{
    path = FilePathCat(folder.empty() ? "." : folder, prefix + "XXXXXX");
    // mkostemp opens with O_CREAT | O_EXCL (which never follows a link) and mode 0600.
    const int fd = mkostemp(path.data(), O_CLOEXEC);
    if (fd < 0)
        return -1;
    flock(fd, LOCK_EX);
    return fd;
}

mode_t ReplacementFileMode(const std::string& path)
{
    struct stat old;
    if (::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode))
        return old.st_mode & 07777;
    // The umask cannot be read without changing it (which would race with other
    // threads creating files); the kernel shows it here.
    mode_t mask = 022;
    LFile status;
    char text[2048];
    if (status.Open("/proc/self/status", LFile::Mode::Read)) {
        const int32_t n = status.Read(text, int32_t(sizeof text) - 1);
        text[n] = 0;
        if (const char* line = std::strstr(text, "Umask:"))
            mask = mode_t(std::strtoul(line + 6, nullptr, 8)) & 0777;
    }
    return 0666 & ~mask;
}

bool SyncFileAndFolder(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = ::fdatasync(fd) == 0;
    ::close(fd);
    return SyncFolder(GetFolderFromPath(path)) && ok;
}

std::vector<std::string> ListFolder(const std::string& folder)
{
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..")
                names.push_back(name);
        }
        closedir(dir);
    }
    return names;
}

namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

size_t LastSeparator(const std::string& path)
{
    size_t pos = path.find_last_of("/\\");
    return pos;
}

} // namespace

std::string FilePathCat(const std::string& path, const std::string& name)
{
    if (path.empty() || IsSeparator(path.back()))
        return path + name;
    return path + "/" + name;
}

std::string ApplyNewFileExtension(const std::string& path, const std::string& ext)
{
    size_t sep = LastSeparator(path);
    size_t dot = path.rfind('.');
    if (dot != std::string::npos && (sep == std::string::npos || dot > sep))
        return path.substr(0, dot) + ext;
    return path + ext;
}

std::string GetFolderFromPath(const std::string& path)
{
    size_t sep = LastSeparator(path);
    return sep == std::string::npos ? std::string() : path.substr(0, sep);
}

std::string GetFileFromPath(const std::string& path)
{
    size_t sep = LastSeparator(path);
    return sep == std::string::npos ? path : path.substr(sep + 1);
}

std::string GetFileExtension(const std::string& path)
{
    size_t sep = LastSeparator(path);
    size_t dot = path.rfind('.');
    if (dot != std::string::npos && (sep == std::string::npos || dot > sep))
        return path.substr(dot);
    return {};
}

bool DeleteFolderAndFiles(const std::string& folder)
{
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir)) {
            if (entry->d_name[0] == '.')
                continue;
            ::unlink(FilePathCat(folder, entry->d_name).c_str());
        }
        closedir(dir);
    }
    return ::rmdir(folder.c_str()) == 0 || !FolderExists(folder);
}

bool CreateFolders(const std::string& folder)
{
    if (folder.empty() || FolderExists(folder))
        return !folder.empty();
    std::string parent = GetFolderFromPath(folder);
    if (!parent.empty() && parent != folder)
        CreateFolders(parent);
    return ::mkdir(folder.c_str(), 0777) == 0 || FolderExists(folder);
}

bool FileExists(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool FolderExists(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string GetTempFolder()
{
    const char* tmp = std::getenv("TMPDIR");
    return tmp && *tmp ? tmp : "/tmp";
}
