#include "formats/LSNKACMFile.h"
#include <cerrno>

#include <algorithm>
#include <cstring>

#include "core/SampleConvert.h"

namespace {
constexpr uint32_t kBlockFrames = 8192;
constexpr uint64_t kMaxData = 0xFFFFFFFEu - 38 - 1024;
}

LSNKACMFile::LSNKACMFile(const std::string& path, const LWaveFileFormat& format)
    : LSoundSinkBase(int32_t(format.SamplesPerSec()), uint8_t(std::max<uint16_t>(format.Channels(), 1))),
      format_(format)
{
    if (!file_.Open(path, LFile::Mode::Create)) {
        SetError(errno);
        return;
    }
    stream_ = LAcmStream::Open(LWaveFileFormat::Pcm(GetSampleRate(), GetChannels()), format_);
    if (stream_) {
        source_.resize(size_t(GetChannels()) * 2 * kBlockFrames);
        uint32_t size = stream_->DestinationSizeFor(uint32_t(source_.size()));
        if (size == 0)
            stream_.reset();
        else
            destination_.resize(size);
    }
    if (!stream_)
        SetError();
    if (!WriteHeader(false))
        SetError(errno);
}

LSNKACMFile::~LSNKACMFile() { Finish(); }

bool LSNKACMFile::Finish()
{
    if (!StartFinishing())
        return !IsError();
    if (stream_ && !IsError())
        Convert(kAcmConvertEnd);
    if (file_.IsOpen()) {
        if (!WriteHeader(true))
            SetError(errno);
        if (!file_.Close())
            SetError(errno);
    }
    return !IsError();
}

bool LSNKACMFile::WriteHeader(bool final)
{
    const uint32_t used = uint32_t(format_.UsedBytes());
    std::vector<uint8_t> h(20 + used + 8);
    std::memcpy(h.data(), "RIFF", 4);
    PutLE32(h.data() + 4, final ? 38 + format_.ExtraSize() + dataBytes_ : 0xFFFFFFFFu);
    std::memcpy(h.data() + 8, "WAVEfmt ", 8);
    PutLE32(h.data() + 16, used);
    std::memcpy(h.data() + 20, format_.Data(), used);
    std::memcpy(h.data() + 20 + used, "data", 4);
    PutLE32(h.data() + 24 + used, final ? dataBytes_ : 0xFFFFFFFFu);
    int64_t back = file_.Tell();
    bool ok = file_.Seek(0) && file_.Write(h.data(), int32_t(h.size())) == int32_t(h.size());
    return final ? ok : ok && (back <= int64_t(h.size()) || file_.Seek(back));
}

void LSNKACMFile::Convert(uint32_t flags)
{
    for (;;) {
        LAcmStreamHeader h;
        h.source = source_.data();
        h.sourceLength = sourceFill_;
        h.destination = destination_.data();
        h.destinationLength = uint32_t(destination_.size());
        if (!stream_->Convert(h, flags | kAcmConvertBlockAlign)) {
            SetError();
            return;
        }
        if (h.destinationUsed > 0) {
            if (dataBytes_ + uint64_t(h.destinationUsed) > kMaxData) {
                SetError(EFBIG);
                return;
            }
            if (file_.Write(destination_.data(), int32_t(h.destinationUsed)) != int32_t(h.destinationUsed)) {
                SetError(errno);
                return;
            }
            dataBytes_ += h.destinationUsed;
        }
        std::memmove(source_.data(), source_.data() + h.sourceUsed, sourceFill_ - h.sourceUsed);
        sourceFill_ -= h.sourceUsed;
        // Done when nothing moved: the codec waits for more input (or, at the end,
        // has given everything).
        if (h.sourceUsed == 0 && h.destinationUsed == 0)
            return;
    }
}

void LSNKACMFile::Write(const int32_t* buffer, int32_t frames)
{
    if (frames <= 0)
        return;
    position_ += uint32_t(frames);
    if (IsError() || !stream_ || IsFinished())
        return;
    const uint32_t channels = GetChannels();
    uint32_t values = uint32_t(frames) * channels;
    while (values > 0) {
        uint32_t room = (uint32_t(source_.size()) - sourceFill_) / 2;
        if (room == 0) {
            SetError();  // the codec took nothing from a full buffer
            return;
        }
        uint32_t n = std::min(room, values);
        SamplesToPcm16LE(source_.data() + sourceFill_, buffer, int32_t(n));
        sourceFill_ += n * 2;
        buffer += n;
        values -= n;
        Convert(0);
        if (IsError())
            return;
    }
}
