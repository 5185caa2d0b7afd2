#include "formats/LSNKVOX.h"
#include <cerrno>

LSNKVOX::LSNKVOX(const std::string& path, int32_t rate) : LSoundSinkBase(rate, 1)
{
    if (!file_.Open(path, LFile::Mode::Create))
        SetError(errno);
}

LSNKVOX::~LSNKVOX() { Finish(); }

bool LSNKVOX::Finish()
{
    if (!StartFinishing() || !file_.IsOpen())
        return !IsError();
    if (pending_ && !IsError()) {
        uint8_t byte = uint8_t(pendingHigh_ << 4 | codec_.Encode(lastSample_));
        if (file_.Write(&byte, 1) != 1)
            SetError(errno);
    }
    if (!file_.Close())
        SetError(errno);
    return !IsError();
}

void LSNKVOX::Write(const int32_t* buffer, int32_t frames)
{
    if (frames <= 0)
        return;
    position_ += uint32_t(frames);
    if (IsError() || IsFinished())
        return;
    bytes_.resize(size_t(frames) / 2 + 1);
    size_t n = 0;
    int32_t i = 0;
    if (pending_) {
        bytes_[n++] = uint8_t(pendingHigh_ << 4 | codec_.Encode(buffer[0]));
        pending_ = false;
        i = 1;
    }
    for (; i + 1 < frames; i += 2) {
        uint8_t high = codec_.Encode(buffer[i]);
        bytes_[n++] = uint8_t(high << 4 | codec_.Encode(buffer[i + 1]));
    }
    if (i < frames) {
        pendingHigh_ = codec_.Encode(buffer[i]);
        pending_ = true;
    }
    lastSample_ = buffer[frames - 1];
    if (n > 0 && file_.Write(bytes_.data(), int32_t(n)) != int32_t(n))
        SetError(errno);
}
