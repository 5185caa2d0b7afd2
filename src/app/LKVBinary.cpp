#include "app/LKVBinary.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "core/ByteOrder.h"

namespace {
constexpr size_t kBufferBytes = 1 << 16;
}

bool LKVPutText(uint8_t* field, const std::string& text, size_t size)
{
    std::memset(field, 0, size);
    if (!LKVTextFits(text, size))
        return false;
    std::memcpy(field, text.data(), text.size());
    return true;
}

std::string LKVGetText(const uint8_t* field, size_t size)
{
    if (size == 0)
        return {};
    const uint8_t* end = std::find(field, field + size - 1, uint8_t(0));
    return std::string(reinterpret_cast<const char*>(field), size_t(end - field));
}

bool LKVFileReader::Open(const std::string& path)
{
    if (!file_.Open(path, LFile::Mode::Read))
        return false;
    size_ = file_.GetFileSizeBytes();
    position_ = 0;
    buffer_.resize(kBufferBytes);
    begin_ = end_ = 0;
    return true;
}

bool LKVFileReader::Fill()
{
    begin_ = 0;
    const int32_t got = file_.Read(buffer_.data(), int32_t(buffer_.size()));
    end_ = got > 0 ? size_t(got) : 0;
    return end_ > 0;
}

bool LKVFileReader::Read(void* buffer, size_t bytes)
{
    if (!file_.IsOpen() || int64_t(bytes) > Remaining())
        return false;
    auto* out = static_cast<uint8_t*>(buffer);
    while (bytes > 0) {
        if (begin_ == end_) {
            // Large reads go straight to the caller's buffer.
            if (bytes >= buffer_.size()) {
                const int32_t want = int32_t(std::min<size_t>(bytes, size_t(1) << 30));
                const int32_t got = file_.Read(out, want);
                if (got <= 0)
                    return false;
                out += got;
                bytes -= size_t(got);
                position_ += got;
                continue;
            }
            if (!Fill())
                return false;
        }
        const size_t n = std::min(bytes, end_ - begin_);
        std::memcpy(out, buffer_.data() + begin_, n);
        begin_ += n;
        out += n;
        bytes -= n;
        position_ += int64_t(n);
    }
    return true;
}

bool LKVFileReader::ReadU8(uint8_t& value) { return Read(&value, 1); }

bool LKVFileReader::ReadLE32(uint32_t& value)
{
    uint8_t b[4];
    if (!Read(b, 4))
        return false;
    value = GetLE32(b);
    return true;
}

bool LKVFileReader::ReadLE32(int32_t& value)
{
    uint32_t u = 0;
    if (!ReadLE32(u))
        return false;
    value = int32_t(u);
    return true;
}

LKVFileWriter::~LKVFileWriter() { Abandon(); }

bool LKVFileWriter::Open(const std::string& target)
{
    Abandon();
    failed_ = !temp_.Create(target) || !file_.Open(temp_.Path(), LFile::Mode::Create);
    if (failed_)
        temp_.Abandon();
    buffer_.clear();
    buffer_.reserve(kBufferBytes);
    return !failed_;
}

bool LKVFileWriter::Flush()
{
    if (failed_ || buffer_.empty())
        return !failed_;
    failed_ = file_.Write(buffer_.data(), int32_t(buffer_.size())) != int32_t(buffer_.size());
    buffer_.clear();
    return !failed_;
}

void LKVFileWriter::Write(const void* data, size_t bytes)
{
    if (failed_ || !file_.IsOpen())
        return;
    const auto* in = static_cast<const uint8_t*>(data);
    if (buffer_.size() + bytes > kBufferBytes) {
        if (!Flush())
            return;
        if (bytes >= kBufferBytes) {
            while (bytes > 0 && !failed_) {
                const int32_t n = int32_t(std::min<size_t>(bytes, size_t(1) << 30));
                failed_ = file_.Write(in, n) != n;
                in += n;
                bytes -= size_t(n);
            }
            return;
        }
    }
    buffer_.insert(buffer_.end(), in, in + bytes);
}

void LKVFileWriter::WriteLE32(uint32_t value)
{
    uint8_t b[4];
    PutLE32(b, value);
    Write(b, 4);
}

void LKVFileWriter::WriteZeros(size_t bytes)
{
    static const std::vector<uint8_t> zeros(kBufferBytes, 0);
    while (bytes > 0 && !failed_) {
        const size_t n = std::min(bytes, zeros.size());
        Write(zeros.data(), n);
        bytes -= n;
    }
}

bool LKVFileWriter::CopyFrom(int fd, int64_t offset, int64_t bytes)
{
    if (!Flush() || !file_.IsOpen())
        return false;
    bool kernel = true;
    std::vector<uint8_t> buffer;
    while (bytes > 0 && !failed_) {
        if (kernel) {
            off_t in = off_t(offset);
            const ssize_t n = ::copy_file_range(fd, &in, file_.Fd(), nullptr, size_t(bytes), 0);
            if (n > 0) {
                offset += n;
                bytes -= n;
                continue;
            }
            if (n == 0)
                break;
            if (errno == EINTR)
                continue;
            // Not across these file systems: copy through a buffer instead.
            if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
                failed_ = true;
                break;
            }
            kernel = false;
        }
        buffer.resize(kBufferBytes);
        const ssize_t got = ::pread(fd, buffer.data(), size_t(std::min<int64_t>(bytes, int64_t(buffer.size()))), off_t(offset));
        if (got <= 0)
            break;
        failed_ = file_.Write(buffer.data(), int32_t(got)) != int32_t(got);
        offset += got;
        bytes -= got;
    }
    // A source that ends early is a failure too: the caller sized the copy.
    if (bytes > 0)
        failed_ = true;
    return !failed_;
}

bool LKVFileWriter::Commit()
{
    if (!file_.IsOpen())
        return false;
    // LTempOutput flushes the file to the disk before the rename, as audio saves
    // do: a project is only as safe as the segments it names.
    const bool ok = Flush() && file_.Close() && temp_.Commit();
    if (!ok)
        Abandon();
    failed_ = !ok;
    return ok;
}

void LKVFileWriter::Abandon()
{
    file_.Close();
    temp_.Abandon();
    buffer_.clear();
}
