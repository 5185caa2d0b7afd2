#include "formats/LSRCVOX.h"

#include <algorithm>

namespace {
constexpr int32_t kBufferBytes = 4096;
}

LSRCVOX::LSRCVOX(const std::string& path, int32_t rate) : LSoundSourceBase(rate, 1, kMaxAmplitude)
{
    if (!file_.Open(path, LFile::Mode::ReadPlain))
        SetError(kSrcCannotOpen);
}

int32_t LSRCVOX::GetLength() { return int32_t(std::min<int64_t>(file_.GetFileSizeBytes() * 2, INT32_MAX)); }

void LSRCVOX::Read(int32_t* buffer, int32_t frames)
{
    if (frames <= 0)
        return;
    const int64_t start = position_;
    position_ = int32_t(std::min<int64_t>(start + frames, INT32_MAX));
    const int32_t lead = int32_t(std::clamp<int64_t>(-start, 0, frames));
    std::fill_n(buffer, lead, 0);
    int32_t* out = buffer + lead;
    int32_t remaining = frames - lead;
    if (remaining > 0 && pending_) {
        *out++ = codec_.Decode(pendingByte_ & 15);
        pending_ = false;
        --remaining;
    }
    uint8_t bytes[kBufferBytes];
    while (remaining > 0) {
        int32_t want = std::min((remaining + 1) / 2, kBufferBytes);
        int32_t got = file_.ReadAt(byteOffset_, bytes, want);
        byteOffset_ += got;
        for (int32_t i = 0; i < got; ++i) {
            *out++ = codec_.Decode(uint8_t(bytes[i] >> 4));
            if (--remaining == 0) {
                pending_ = true;
                pendingByte_ = bytes[i];
                break;
            }
            *out++ = codec_.Decode(uint8_t(bytes[i] & 15));
            --remaining;
        }
        if (got < want) {
            // Past the end of the file: silence, and the decoder is left as it was.
            std::fill_n(out, remaining, 0);
            return;
        }
    }
}

void LSRCVOX::Seek(int32_t frame)
{
    position_ = frame;
    pending_ = false;
    if (frame <= 0) {
        byteOffset_ = 0;
        return;
    }
    byteOffset_ = frame / 2;
    if (frame % 2 != 0) {
        // Sample 2k + 1 is the low nibble of byte k: run the high nibble through
        // the decoder so that the next sample is the one asked for.
        uint8_t byte = 0;
        if (file_.ReadAt(byteOffset_, &byte, 1) == 1) {
            codec_.Decode(uint8_t(byte >> 4));
            pending_ = true;
            pendingByte_ = byte;
            ++byteOffset_;
        }
    }
}
