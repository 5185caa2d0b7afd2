#include "devices/backends/LCaptureFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <mutex>

#include "core/ByteOrder.h"

namespace {

struct State {
    std::mutex mutex;
    std::string path;
    LWaveFormat format;
    int fd = -1;
    ino_t inode = 0;
    uint32_t dataBytes = 0;
};

State& Capture()
{
    static State state;
    return state;
}

bool WriteAll(int fd, const uint8_t* p, size_t n, off_t at)
{
    while (n > 0) {
        const ssize_t w = pwrite(fd, p, n, at);
        if (w <= 0)
            return false;
        p += w;
        n -= size_t(w);
        at += w;
    }
    return true;
}

void WriteSizes(State& s)
{
    uint8_t b[4];
    PutLE32(b, 36 + s.dataBytes);
    WriteAll(s.fd, b, 4, 4);
    PutLE32(b, s.dataBytes);
    WriteAll(s.fd, b, 4, 40);
}

bool SameFileStillThere(const State& s)
{
    struct stat st;
    return s.fd >= 0 && stat(s.path.c_str(), &st) == 0 && st.st_ino == s.inode;
}

} // namespace

bool LCaptureFile::Begin(const std::string& path, const LWaveFormat& format)
{
    State& s = Capture();
    std::lock_guard lock(s.mutex);
    if (path == s.path && format.rate == s.format.rate && format.channels == s.format.channels &&
        SameFileStillThere(s))
        return true;
    if (s.fd >= 0)
        close(s.fd);
    s.fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    s.path = path;
    s.format = format;
    s.dataBytes = 0;
    if (s.fd < 0)
        return false;
    struct stat st;
    s.inode = fstat(s.fd, &st) == 0 ? st.st_ino : 0;
    uint8_t h[44] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
    PutLE32(h + 16, 16);
    PutLE16(h + 20, 1);
    PutLE16(h + 22, format.channels);
    PutLE32(h + 24, uint32_t(format.rate));
    PutLE32(h + 28, format.AvgBytesPerSec());
    PutLE16(h + 32, format.BlockAlign());
    PutLE16(h + 34, 16);
    h[36] = 'd';
    h[37] = 'a';
    h[38] = 't';
    h[39] = 'a';
    if (!WriteAll(s.fd, h, sizeof h, 0)) {
        close(s.fd);
        s.fd = -1;
        return false;
    }
    WriteSizes(s);
    return true;
}

void LCaptureFile::Append(const uint8_t* bytes, uint32_t count)
{
    State& s = Capture();
    std::lock_guard lock(s.mutex);
    // A WAV file holds at most 4 GB: past that the capture stops growing.
    if (s.fd < 0 || count == 0 || uint64_t(s.dataBytes) + count > 0xFFFFFFFFull - 36)
        return;
    if (!WriteAll(s.fd, bytes, count, off_t(44) + s.dataBytes))
        return;
    s.dataBytes += count;
    WriteSizes(s);
}
