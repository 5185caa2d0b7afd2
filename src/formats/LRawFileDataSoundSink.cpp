#include "formats/LRawFileDataSoundSink.h"
#include <cerrno>

#include <algorithm>

namespace {
constexpr int32_t kBufferFrames = 8192;
}

LRawFileDataSoundSinkBase::LRawFileDataSoundSinkBase(const std::string& path, int32_t rate, uint8_t channels,
                                                     int32_t bytesPerSample, HeaderWriter header,
                                                     uint64_t maxDataBytes)
    : LSoundSinkBase(rate, channels), header_(header ? header : &NoHeader)
{
    bytesPerFrame_ = GetChannels() * bytesPerSample;
    // The frame counter is 32 bits wide as well.
    maxFrames_ = std::min<uint64_t>(maxDataBytes / uint64_t(bytesPerFrame_), UINT32_MAX);
    buffer_.resize(size_t(kBufferFrames) * size_t(bytesPerFrame_));
    if (!file_.Open(path, LFile::Mode::Create)) {
        SetError(errno);
        return;
    }
    headerSize_ = header_(*this, false);
    if (headerSize_ < 0 || !file_.Seek(headerSize_)) {
        headerSize_ = 0;
        SetError(errno);
    }
}

LRawFileDataSoundSinkBase::~LRawFileDataSoundSinkBase() { Finish(); }

bool LRawFileDataSoundSinkBase::Finish()
{
    if (StartFinishing() && file_.IsOpen()) {
        if (!file_.Seek(0) || header_(*this, true) < 0)
            SetError(errno);
        if (!file_.Close())
            SetError(errno);
    }
    return !IsError();
}

void LRawFileDataSoundSinkBase::Write(const int32_t* buffer, int32_t frames)
{
    if (frames <= 0 || IsError() || IsFinished())
        return;
    if (uint64_t(position_) + uint64_t(frames) > maxFrames_) {
        SetError(EFBIG);
        return;
    }
    const int32_t channels = GetChannels();
    while (frames > 0) {
        int32_t n = std::min(frames, kBufferFrames);
        Convert(buffer_.data(), buffer, n * channels);
        int32_t bytes = n * bytesPerFrame_;
        if (file_.Write(buffer_.data(), bytes) != bytes) {
            SetError(errno);
            return;
        }
        position_ += uint32_t(n);
        buffer += size_t(n) * size_t(channels);
        frames -= n;
    }
}

void LRawFileDataSoundSinkBase::Seek(int32_t frame)
{
    if (frame < 0)
        frame = 0;
    if (uint32_t(frame) > position_)
        return;
    position_ = uint32_t(frame);
    if (!file_.Seek(headerSize_ + int64_t(frame) * bytesPerFrame_) || !file_.SetEndOfFile())
        SetError(errno);
}

LSoundSink MakeRawDataSink(uint8_t codec, const std::string& path, int32_t rate, uint8_t channels,
                           LRawFileDataSoundSinkBase::HeaderWriter header, uint64_t maxDataBytes)
{
    switch (codec) {
    case kRawCodecMuLaw:
        return MakeSink<LRawFileDataSoundSink<LRawMuLaw>>(path, rate, channels, header, maxDataBytes);
    case kRawCodecALaw:
        return MakeSink<LRawFileDataSoundSink<LRawALaw>>(path, rate, channels, header, maxDataBytes);
    case kRawCodecPcm16LE:
        return MakeSink<LRawFileDataSoundSink<LRawPcm16LE>>(path, rate, channels, header, maxDataBytes);
    case kRawCodecPcm8Unsigned:
        return MakeSink<LRawFileDataSoundSink<LRawPcm8Unsigned>>(path, rate, channels, header, maxDataBytes);
    case kRawCodecPcm8Signed:
        return MakeSink<LRawFileDataSoundSink<LRawPcm8Signed>>(path, rate, channels, header, maxDataBytes);
    case kRawCodecPcm16BE:
        return MakeSink<LRawFileDataSoundSink<LRawPcm16BE>>(path, rate, channels, header, maxDataBytes);
    default:
        return {};
    }
}
