#include "app/LKVScriptFile.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/ByteOrder.h"
#include "core/LFile.h"

namespace {

enum class Load { Ok, CannotOpen, TooLarge };

// The whole of `path`, at most `limit` bytes. The file is opened without
// blocking (a FIFO with no writer must not hang the open) and read until its
// end, so that a device or a pipe that never ends cannot grow memory past the
// limit either.
Load ReadBounded(const std::string& path, int64_t limit, std::vector<uint8_t>& bytes)
{
    bytes.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return Load::CannotOpen;
    Load result = Load::Ok;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        result = Load::CannotOpen;
    } else if (S_ISREG(st.st_mode) && st.st_size > limit) {
        result = Load::TooLarge;
    } else {
        // Reads wait for data again, as for any file.
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        uint8_t block[65536];
        for (;;) {
            const ssize_t got = ::read(fd, block, sizeof block);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0) {
                result = Load::CannotOpen;
                break;
            }
            if (got == 0)
                break;
            if (int64_t(bytes.size()) + got > limit) {
                result = Load::TooLarge;
                break;
            }
            bytes.insert(bytes.end(), block, block + got);
        }
    }
    ::close(fd);
    if (result != Load::Ok)
        bytes.clear();
    return result;
}

} // namespace

std::string LKVScriptFile::TooLargeMessage(const std::string& path)
{
    return "The command script \"" + path + "\" is larger than 1 MB, which no command script is; it was not read.";
}

LKVScriptFile::ReadResult LKVScriptFile::Read(const std::string& path, std::vector<LKVCommand>& commands,
                                              Damage* damage)
{
    commands.clear();
    if (damage)
        *damage = Damage{};
    auto cutShort = [&](const std::string& reason) {
        if (damage && damage->record == 0)
            *damage = Damage{commands.size() + 1, reason};
    };
    std::vector<uint8_t> bytes;
    switch (ReadBounded(path, kMaxBytes, bytes)) {
    case Load::Ok: break;
    case Load::CannotOpen: return ReadResult::CannotOpen;
    case Load::TooLarge: return ReadResult::TooLarge;
    }
    if (bytes.empty())
        return ReadResult::CannotOpen;
    if (bytes[0] != 0)
        return ReadResult::WrongVersion;
    size_t at = 1;
    for (;;) {
        const size_t left = bytes.size() - at;
        if (left < 8) {
            if (left > 0)
                cutShort("the file ends " + std::to_string(left) + " bytes into its 8-byte header");
            break;
        }
        LKVCommand command;
        command.index = GetLE32(&bytes[at]);
        const uint32_t claimed = GetLE32(&bytes[at + 4]);
        at += 8;
        // A record whose data runs past the end keeps what is there.
        const size_t take = std::min<size_t>(claimed, bytes.size() - at);
        command.data.assign(bytes.data() + at, bytes.data() + at + take);
        at += take;
        if (command.data.size() < claimed)
            cutShort("it has " + std::to_string(claimed) + " bytes of values, but the file ends after " +
                     std::to_string(command.data.size()));
        commands.push_back(std::move(command));
    }
    return ReadResult::Ok;
}

bool LKVScriptFile::Write(const std::string& path, const std::vector<LKVCommand>& commands)
{
    std::vector<uint8_t> bytes{0};
    for (const LKVCommand& c : commands) {
        uint8_t head[8];
        PutLE32(head, c.index);
        PutLE32(head + 4, uint32_t(c.data.size()));
        bytes.insert(bytes.end(), head, head + 8);
        bytes.insert(bytes.end(), c.data.begin(), c.data.end());
    }
    LFile file;
    return file.Open(path, LFile::Mode::Create) && file.Write(bytes.data(), int32_t(bytes.size())) == int32_t(bytes.size());
}
