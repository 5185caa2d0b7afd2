#pragma once
#include <cstdint>
#include <vector>

#include "core/LFile.h"

// Buffered forward reader over an open file with its own byte offset, so that the
// byte-at-a-time header search costs no system call per byte.
class MP3ByteReader {
public:
    explicit MP3ByteReader(LFile file);

    bool IsOpen() const { return file_.IsOpen(); }
    int64_t GetFileSize() const { return size_; }
    // Offset of the next byte to read.
    int64_t Tell() const { return pos_; }
    void Seek(int64_t offset) { pos_ = offset < 0 ? 0 : offset; }
    void Skip(int64_t bytes) { Seek(pos_ + bytes); }
    // The next byte, or -1 at the end of the file.
    int32_t ReadByte()
    {
        if (pos_ < bufStart_ || pos_ >= bufEnd_) {
            if (!Fill())
                return -1;
        }
        return buffer_[size_t(pos_++ - bufStart_)];
    }
    // Reads up to `bytes` bytes; returns how many were read.
    int32_t Read(uint8_t* dst, int32_t bytes);

private:
    bool Fill();

    LFile file_;
    int64_t size_;
    int64_t pos_ = 0;
    int64_t bufStart_ = 0;
    int64_t bufEnd_ = 0;
    std::vector<uint8_t> buffer_;
};
