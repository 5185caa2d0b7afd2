#include "formats/gsm/LGSMFileSource.h"

#include <algorithm>
#include <cstring>

namespace {
// Blocks read from the file at once when whole blocks go straight to the caller.
constexpr int32_t kRunBlocks = 64;
}

LGSMFileSource::LGSMFileSource(const std::string& path) : LSoundSourceBase(8000, 1, kMaxAmplitude)
{
    if (!file_.Open(path, LFile::Mode::ReadPlain)) {
        SetError(kSrcCannotOpen);
        return;
    }
    int64_t blocks = file_.GetFileSizeBytes() / LGSMFrame::kBytes;
    length_ = int32_t(std::min<int64_t>(blocks * LGSMFrame::kSamples, INT32_MAX / LGSMFrame::kSamples * LGSMFrame::kSamples));
    bytes_.resize(size_t(kRunBlocks) * LGSMFrame::kBytes);
}

void LGSMFileSource::DecodeNext(int32_t* out) { DecodeRun(out, 1); }

void LGSMFileSource::DecodeRun(int32_t* out, int32_t blocks)
{
    int32_t want = blocks * LGSMFrame::kBytes;
    int32_t got = file_.ReadAt(readOffset_, bytes_.data(), want);
    readOffset_ += want;
    int32_t whole = got / LGSMFrame::kBytes;
    for (int32_t b = 0; b < whole; ++b)
        codec_.DecodeNormal(bytes_.data() + b * LGSMFrame::kBytes, out + b * LGSMFrame::kSamples);
    // A file cut short after it was opened reads as silence where blocks are missing.
    std::fill(out + whole * LGSMFrame::kSamples, out + blocks * LGSMFrame::kSamples, 0);
}

void LGSMFileSource::Read(int32_t* buffer, int32_t frames)
{
    if (frames <= 0)
        return;
    const int64_t start = position_;
    const int64_t end = start + frames;
    position_ = int32_t(std::min<int64_t>(end, INT32_MAX));
    const int32_t lead = int32_t(std::clamp<int64_t>(-start, 0, frames));
    std::fill_n(buffer, lead, 0);
    int32_t done = lead;
    // Frames [p, stop) come from the file; everything after them is silence.
    int64_t p = std::max<int64_t>(start, 0);
    const int64_t stop = std::min<int64_t>(end, length_);
    while (p < stop) {
        int32_t left = int32_t(stop - p);
        if (next_ < LGSMFrame::kSamples) {
            int32_t take = std::min(LGSMFrame::kSamples - next_, left);
            std::memcpy(buffer + done, decoded_ + next_, size_t(take) * sizeof(int32_t));
            next_ += take;
            done += take;
            p += take;
        } else if (left >= LGSMFrame::kSamples) {
            int32_t blocks = std::min(left / LGSMFrame::kSamples, kRunBlocks);
            DecodeRun(buffer + done, blocks);
            done += blocks * LGSMFrame::kSamples;
            p += blocks * LGSMFrame::kSamples;
        } else {
            DecodeNext(decoded_);
            next_ = 0;
        }
    }
    std::fill(buffer + done, buffer + frames, 0);
}

void LGSMFileSource::Seek(int32_t frame)
{
    codec_.ResetDecoder();
    next_ = LGSMFrame::kSamples;
    position_ = frame;
    if (frame <= 0) {
        readOffset_ = 0;
    } else if (frame < length_) {
        readOffset_ = int64_t(frame / LGSMFrame::kSamples) * LGSMFrame::kBytes;
        DecodeNext(decoded_);
        next_ = frame % LGSMFrame::kSamples;
    } else {
        readOffset_ = int64_t(length_ / LGSMFrame::kSamples) * LGSMFrame::kBytes;
    }
}
