#include "formats/gsm/LGSMFileSink.h"
#include <cerrno>

#include <algorithm>

namespace {
constexpr int32_t kRunBlocks = 64;
}

LGSMFileSink::LGSMFileSink(const std::string& path) : LSoundSinkBase(8000, 1)
{
    bytes_.resize(size_t(kRunBlocks) * LGSMFrame::kBytes);
    if (!file_.Open(path, LFile::Mode::Create))
        SetError(errno);
}

LGSMFileSink::~LGSMFileSink() { Finish(); }

bool LGSMFileSink::Finish()
{
    if (!StartFinishing() || !file_.IsOpen())
        return !IsError();
    if (fill_ > 0 && !IsError()) {
        std::fill(pending_ + fill_, pending_ + LGSMFrame::kSamples, 0);
        EncodeBlocks(pending_, 1);
    }
    if (!file_.Close())
        SetError(errno);
    return !IsError();
}

void LGSMFileSink::EncodeBlocks(const int32_t* samples, int32_t blocks)
{
    while (blocks > 0) {
        int32_t n = std::min(blocks, kRunBlocks);
        for (int32_t b = 0; b < n; ++b)
            codec_.EncodeNormal(samples + b * LGSMFrame::kSamples, bytes_.data() + b * LGSMFrame::kBytes);
        int32_t want = n * LGSMFrame::kBytes;
        if (file_.Write(bytes_.data(), want) != want) {
            SetError(errno);
            return;
        }
        samples += n * LGSMFrame::kSamples;
        blocks -= n;
    }
}

void LGSMFileSink::Write(const int32_t* buffer, int32_t frames)
{
    if (frames <= 0)
        return;
    position_ += uint32_t(frames);
    if (IsError() || IsFinished())
        return;
    if (fill_ > 0) {
        int32_t take = std::min(LGSMFrame::kSamples - fill_, frames);
        std::copy_n(buffer, take, pending_ + fill_);
        fill_ += take;
        buffer += take;
        frames -= take;
        if (fill_ < LGSMFrame::kSamples)
            return;
        EncodeBlocks(pending_, 1);
        fill_ = 0;
    }
    int32_t blocks = frames / LGSMFrame::kSamples;
    EncodeBlocks(buffer, blocks);
    buffer += blocks * LGSMFrame::kSamples;
    frames -= blocks * LGSMFrame::kSamples;
    std::copy_n(buffer, frames, pending_);
    fill_ = frames;
}
