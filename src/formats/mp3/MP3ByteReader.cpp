#include "formats/mp3/MP3ByteReader.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr int32_t kBufferBytes = 65536;
}

MP3ByteReader::MP3ByteReader(LFile file) : file_(std::move(file)), size_(file_.GetFileSizeBytes()) {}

bool MP3ByteReader::Fill()
{
    if (pos_ >= size_)
        return false;
    buffer_.resize(kBufferBytes);
    int32_t got = file_.ReadAt(pos_, buffer_.data(), kBufferBytes);
    bufStart_ = pos_;
    bufEnd_ = pos_ + got;
    return got > 0;
}

int32_t MP3ByteReader::Read(uint8_t* dst, int32_t bytes)
{
    int32_t done = 0;
    while (done < bytes) {
        if (pos_ < bufStart_ || pos_ >= bufEnd_) {
            if (!Fill())
                break;
        }
        int32_t n = int32_t(std::min<int64_t>(bytes - done, bufEnd_ - pos_));
        std::memcpy(dst + done, buffer_.data() + (pos_ - bufStart_), size_t(n));
        done += n;
        pos_ += n;
    }
    return done;
}
