#include "formats/LSNKPCMFile.h"
#include <cerrno>

#include <algorithm>

#include "core/ByteOrder.h"
#include "core/SampleConvert.h"

namespace {

constexpr int32_t kBufferFrames = 8192;
// 0xFFFFFFFF marks an unfinished file, and the RIFF size adds 38 to the data size.
constexpr uint32_t kMaxDataBytes = 0xFFFFFFFEu - 38;

} // namespace

LSNKPCMFileBase::LSNKPCMFileBase(const std::string& path, int32_t rate, int32_t startFrame, int32_t bytesPerSample,
                                 uint8_t channels)
    : LSoundSinkBase(rate, channels), bytesPerSample_(bytesPerSample)
{
    bytesPerFrame_ = GetChannels() * bytesPerSample_;
    maxFrames_ = kMaxDataBytes / uint32_t(bytesPerFrame_);
    buffer_.resize(size_t(kBufferFrames) * size_t(bytesPerFrame_));
    if (!file_.Open(path, LFile::Mode::OpenAlways) || !WriteHeader(false)) {
        SetError(errno);
        return;
    }
    // Keep what the file already holds up to the start frame, never more than it has.
    int64_t have = std::max<int64_t>(file_.GetFileSizeBytes() - kHeaderBytes, 0) / bytesPerFrame_;
    int64_t counter = std::min<int64_t>(std::max(startFrame, 0), have);
    position_ = uint32_t(counter);
    if (!file_.Seek(kHeaderBytes + counter * bytesPerFrame_) || !file_.SetEndOfFile())
        SetError(errno);
}

LSNKPCMFileBase::~LSNKPCMFileBase()
{
    if (file_.IsOpen())
        WriteHeader(true);
}

bool LSNKPCMFileBase::WriteHeader(bool final)
{
    uint32_t data = final ? position_ * uint32_t(bytesPerFrame_) : 0xFFFFFFFFu;
    uint32_t riff = final ? data + 38 : 0xFFFFFFFFu;
    uint8_t h[kHeaderBytes];
    std::copy_n("RIFF", 4, h);
    PutLE32(h + 4, riff);
    std::copy_n("WAVEfmt ", 8, h + 8);
    PutLE32(h + 16, 18);
    PutLE16(h + 20, 1);
    PutLE16(h + 22, GetChannels());
    PutLE32(h + 24, uint32_t(GetSampleRate()));
    PutLE32(h + 28, uint32_t(GetSampleRate()) * uint32_t(bytesPerFrame_));
    PutLE16(h + 32, uint16_t(bytesPerFrame_));
    PutLE16(h + 34, uint16_t(bytesPerSample_ * 8));
    PutLE16(h + 36, 0);
    std::copy_n("data", 4, h + 38);
    PutLE32(h + 42, data);
    int64_t back = file_.Tell();
    bool ok = file_.Seek(0) && file_.Write(h, kHeaderBytes) == kHeaderBytes;
    if (final)
        return ok;
    return ok && (back <= kHeaderBytes || file_.Seek(back));
}

void LSNKPCMFileBase::Write(const int32_t* buffer, int32_t frames)
{
    if (frames <= 0)
        return;
    if (IsError())
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
    if (!file_.Seek(kHeaderBytes + int64_t(frame) * bytesPerFrame_) || !file_.SetEndOfFile())
        SetError(errno);
}

void LSNKPCM8File::Convert(uint8_t* dst, const int32_t* src, int32_t values) { SamplesToPcm8(dst, src, values); }

void LSNKPCM16File::Convert(uint8_t* dst, const int32_t* src, int32_t values) { SamplesToPcm16LE(dst, src, values); }
