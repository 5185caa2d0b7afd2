#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/LFile.h"
#include "core/LTempOutput.h"

// Shared pieces of the main window's binary files (bookmark files, projects,
// "keys.dat"): little-endian integers and fixed, zero-terminated text fields.

// The size of every text field: a path or a name with its terminator.
inline constexpr size_t kLKVTextField = 260;

// Whether `text` fits a `size`-byte field with its terminator.
inline bool LKVTextFits(const std::string& text, size_t size = kLKVTextField) { return text.size() < size; }
// Writes `text` zero-padded into the field; false (and an all-zero field) when it
// does not fit. A text is never cut: a cut path would name another file.
bool LKVPutText(uint8_t* field, const std::string& text, size_t size = kLKVTextField);
// The field's text up to its first zero; the last byte counts as zero whatever it holds.
std::string LKVGetText(const uint8_t* field, size_t size = kLKVTextField);

// Reads a file front to back through a buffer. Every read says whether all the
// bytes asked for were there, so a truncated file is noticed at the first short
// field and nothing is ever read past the end.
class LKVFileReader {
public:
    bool Open(const std::string& path);
    bool Read(void* buffer, size_t bytes);
    bool ReadU8(uint8_t& value);
    bool ReadLE32(uint32_t& value);
    bool ReadLE32(int32_t& value);
    // Bytes between the read position and the end of the file.
    int64_t Remaining() const { return size_ - position_; }
    int64_t Position() const { return position_; }
    int64_t Size() const { return size_; }

private:
    bool Fill();

    LFile file_;
    int64_t size_ = 0;
    int64_t position_ = 0;
    std::vector<uint8_t> buffer_;
    size_t begin_ = 0;
    size_t end_ = 0;
};

// Writes a file as an LTempOutput beside `target` and puts it in place only
// on Commit, so a failed or abandoned write leaves the old file as it was. A
// failed write is remembered: later writes do nothing and Commit fails.
class LKVFileWriter {
public:
    ~LKVFileWriter();
    bool Open(const std::string& target);
    void Write(const void* data, size_t bytes);
    void WriteU8(uint8_t value) { Write(&value, 1); }
    void WriteLE32(uint32_t value);
    void WriteZeros(size_t bytes);
    // Appends `bytes` bytes of the open file `fd` from `offset`, inside the
    // kernel where the file system allows it. False after a failure.
    bool CopyFrom(int fd, int64_t offset, int64_t bytes);
    bool Failed() const { return failed_; }
    // Flushes, closes and renames over the target; false (and the target
    // untouched) after any failure.
    bool Commit();
    // Drops the temporary file; the target stays as it was.
    void Abandon();

private:
    bool Flush();

    LFile file_;
    LTempOutput temp_;
    std::vector<uint8_t> buffer_;
    bool failed_ = false;
};
