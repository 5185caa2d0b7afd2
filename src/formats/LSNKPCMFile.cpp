#include "formats/LSNKPCMFile.h"
#include <cerrno>

#include <algorithm>
#include <cstring>

#include "core/ByteOrder.h"
#include "core/SampleConvert.h"

namespace {

constexpr int32_t kBufferFrames = 8192;

} // namespace

LSNKPCMFileBase::LSNKPCMFileBase(const std::string& path, int32_t rate, int32_t startFrame, int32_t bytesPerSample,
                                 uint8_t channels)
    : LSNKPCMFileBase(path, LWaveFileFormat::Pcm(rate, channels, uint16_t(bytesPerSample * 8)), startFrame,
                      bytesPerSample)
{
}

LSNKPCMFileBase::LSNKPCMFileBase(const std::string& path, const LWaveFileFormat& format, int32_t startFrame,
                                 int32_t bytesPerSample)
    : LSoundSinkBase(int32_t(format.SamplesPerSec()), uint8_t(std::min<uint16_t>(format.Channels(), 255))),
      format_(format),
      headerBytes_(20 + format.UsedBytes() + 8),
      bytesPerSample_(bytesPerSample)
{
    if (IsError())
        return;
    bytesPerFrame_ = GetChannels() * bytesPerSample_;
    // 0xFFFFFFFF marks an unfinished file, and the RIFF size adds the header to
    // the data size.
    maxFrames_ = (0xFFFFFFFEu - uint32_t(headerBytes_ - 8)) / uint32_t(bytesPerFrame_);
    buffer_.resize(size_t(kBufferFrames) * size_t(bytesPerFrame_));
    if (!file_.Open(path, LFile::Mode::OpenAlways) || !WriteHeader(false)) {
        SetError(errno);
        return;
    }
    // Keep what the file already holds up to the start frame, never more than it has.
    int64_t have = std::max<int64_t>(file_.GetFileSizeBytes() - headerBytes_, 0) / bytesPerFrame_;
    int64_t counter = std::min<int64_t>(std::max(startFrame, 0), have);
    position_ = uint32_t(counter);
    if (!file_.Seek(headerBytes_ + counter * bytesPerFrame_) || !file_.SetEndOfFile())
        SetError(errno);
}

LSNKPCMFileBase::~LSNKPCMFileBase() { Finish(); }

bool LSNKPCMFileBase::Finish()
{
    if (StartFinishing() && file_.IsOpen()) {
        if (!WriteHeader(true))
            SetError(errno);
        if (!file_.Close())
            SetError(errno);
    }
    return !IsError();
}

bool LSNKPCMFileBase::WriteHeader(bool final)
{
    const uint32_t used = uint32_t(format_.UsedBytes());
    uint32_t data = final ? position_ * uint32_t(bytesPerFrame_) : 0xFFFFFFFFu;
    uint32_t riff = final ? data + uint32_t(headerBytes_ - 8) : 0xFFFFFFFFu;
    std::vector<uint8_t> h(static_cast<size_t>(headerBytes_));
    std::copy_n("RIFF", 4, h.data());
    PutLE32(h.data() + 4, riff);
    std::copy_n("WAVEfmt ", 8, h.data() + 8);
    PutLE32(h.data() + 16, used);
    std::copy_n(format_.Data(), used, h.data() + 20);
    std::copy_n("data", 4, h.data() + 20 + used);
    PutLE32(h.data() + 24 + used, data);
    int64_t back = file_.Tell();
    bool ok = file_.Seek(0) && file_.Write(h.data(), headerBytes_) == headerBytes_;
    if (final)
        return ok;
    return ok && (back <= headerBytes_ || file_.Seek(back));
}

void LSNKPCMFileBase::Write(const int32_t* buffer, int32_t frames)
{
    if (frames <= 0)
        return;
    if (IsError() || IsFinished())
        return;
    const int32_t channels = GetChannels();
    // A WAV file cannot describe more than 4 GB of data; refuse rather than write a
    // file whose header would wrap around and hide the audio.
    if (uint64_t(position_) + uint64_t(frames) > maxFrames_) {
        SetError(EFBIG);
        return;
    }
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

void LSNKPCMFileBase::Seek(int32_t frame)
{
    if (frame < 0)
        frame = 0;
    if (uint32_t(frame) > position_)
        return;
    position_ = uint32_t(frame);
    if (!file_.Seek(headerBytes_ + int64_t(frame) * bytesPerFrame_) || !file_.SetEndOfFile())
        SetError(errno);
}

void LSNKPCM8File::Convert(uint8_t* dst, const int32_t* src, int32_t values) { SamplesToPcm8(dst, src, values); }

void LSNKPCM16File::Convert(uint8_t* dst, const int32_t* src, int32_t values) { SamplesToPcm16LE(dst, src, values); }

void LSNKPCMWideFile::Convert(uint8_t* dst, const int32_t* src, int32_t values)
{
    auto put = [](uint8_t* to, uint64_t u, int32_t bytes) {
        for (int32_t b = 0; b < bytes; ++b)
            to[b] = uint8_t(u >> (8 * b));
    };
    for (int32_t i = 0; i < values; ++i, dst += bytes_) {
        const int32_t v = std::clamp<int32_t>(src[i], -0x80000, 0x7FFFF);
        if (!float_) {
            // The 20 bits at the top of the sample, the rest zero.
            put(dst, uint32_t(v) << 12 >> (8 * (4 - bytes_)), bytes_);
        } else if (bytes_ == 8) {
            const double d = double(v) / 524288.0;
            uint64_t u = 0;
            std::memcpy(&u, &d, 8);
            put(dst, u, 8);
        } else {
            const float f = float(v) / 524288.0f;
            uint32_t u = 0;
            std::memcpy(&u, &f, 4);
            put(dst, u, 4);
        }
    }
}
