#include "formats/LSRCACMWave.h"

#include <algorithm>
#include <cstring>

#include "core/SampleConvert.h"

namespace {
constexpr int32_t kBlockFrames = 8192;
constexpr uint16_t kTagMsAdpcm = 0x0002;
constexpr uint16_t kTagImaAdpcm = 0x0011;
constexpr uint16_t kTagGsm = 0x0031;
}

LSRCACMWave::LSRCACMWave(LFile file, const LWaveFileFormat& format, uint32_t dataSize)
    : LSoundSourceBase(int32_t(format.SamplesPerSec()), uint8_t(std::clamp<uint16_t>(format.Channels(), 1, 255)),
                       kFullScale16),
      file_(std::move(file)),
      rate_(format.SamplesPerSec()),
      avgBytes_(format.AvgBytesPerSec() ? format.AvgBytesPerSec() : format.SamplesPerSec()),
      blockAlign_(format.BlockAlign())
{
    if (!file_.IsOpen()) {
        SetError(kSrcCannotOpen);
        return;
    }
    dataStart_ = file_.Tell();
    // As for PCM: the data cannot extend past the end of the file.
    const int64_t present = std::max<int64_t>(file_.GetFileSizeBytes() - dataStart_, 0);
    dataSize_ = dataSize == 0xFFFFFFFFu ? present : std::min<int64_t>(dataSize, present);
    if ((format.Tag() == kTagImaAdpcm || format.Tag() == kTagMsAdpcm) && format.ExtraSize() >= 2)
        samplesPerBlock_ = GetLE16(format.Extra());
    else if (format.Tag() == kTagGsm && blockAlign_ == 65)
        samplesPerBlock_ = 320;
    if (samplesPerBlock_ == 0 || blockAlign_ == 0)
        samplesPerBlock_ = 0;

    LWaveFileFormat target = LWaveFileFormat::Pcm(int32_t(rate_), GetChannels());
    stream_ = LAcmStream::Open(format, target);
    if (!stream_) {
        SetError(kSrcNoCodec);
        return;
    }
    decoded_.resize(size_t(GetChannels()) * 2 * kBlockFrames);
    uint32_t sourceSize = stream_->SourceSizeFor(uint32_t(decoded_.size()));
    if (sourceSize == 0) {
        stream_.reset();
        SetError(kSrcNoCodec);
        return;
    }
    source_.resize(sourceSize);
}

void LSRCACMWave::Decode(int32_t* out, int32_t frames)
{
    const uint32_t frameBytes = uint32_t(GetChannels()) * 2;
    uint32_t wanted = uint32_t(frames) * frameBytes;
    for (;;) {
        uint32_t n = std::min(decodedFill_ - decodedPos_, wanted);
        SamplesFromPcm16LE(out, decoded_.data() + decodedPos_, int32_t(n / 2));
        out += n / 2;
        decodedPos_ += n;
        wanted -= n;
        if (wanted < 2)
            break;
        decodedFill_ = decodedPos_ = 0;
        if (endFrame_ >= 0) {
            std::fill_n(out, wanted / 2, 0);
            return;
        }
        // Refill the source, never letting the codec see what follows the data chunk.
        uint32_t room = uint32_t(source_.size()) - sourceFill_;
        int64_t left = std::max<int64_t>(dataSize_ - bytesRead_, 0);
        uint32_t want = uint32_t(std::min<int64_t>(room, left));
        int32_t got = file_.Read(source_.data() + sourceFill_, int32_t(want));
        bytesRead_ += got;
        sourceFill_ += uint32_t(got);

        LAcmStreamHeader h;
        h.source = source_.data();
        h.sourceLength = sourceFill_;
        h.destination = decoded_.data();
        h.destinationLength = uint32_t(decoded_.size());
        auto endHere = [&] { endFrame_ = std::max<int64_t>(int64_t(position_) - wanted / frameBytes, 0); };
        if (!stream_->Convert(h, kAcmConvertBlockAlign)) {
            endHere();
        } else if (h.destinationUsed == 0 && (sourceFill_ < source_.size() || h.sourceUsed == 0)) {
            // The file is exhausted (or the codec is stuck on a full buffer): flush once.
            if (!stream_->Convert(h, kAcmConvertEnd) || h.destinationUsed == 0)
                endHere();
        }
        decodedFill_ = h.destinationUsed;
        std::memmove(source_.data(), source_.data() + h.sourceUsed, sourceFill_ - h.sourceUsed);
        sourceFill_ -= h.sourceUsed;
    }
    if (decodedPos_ > 0) {
        std::memmove(decoded_.data(), decoded_.data() + decodedPos_, decodedFill_ - decodedPos_);
        decodedFill_ -= decodedPos_;
        decodedPos_ = 0;
    }
}

void LSRCACMWave::Read(int32_t* buffer, int32_t frames)
{
    const int32_t channels = GetChannels();
    while (frames > 0) {
        int32_t n = std::min(frames, kBlockFrames);
        int64_t start = position_;
        position_ = int32_t(std::min<int64_t>(start + n, INT32_MAX));
        if (!stream_) {
            std::fill_n(buffer, size_t(n) * size_t(channels), 0);
        } else {
            int32_t lead = int32_t(std::clamp<int64_t>(-start, 0, n));
            std::fill_n(buffer, size_t(lead) * size_t(channels), 0);
            if (n > lead)
                Decode(buffer + size_t(lead) * size_t(channels), n - lead);
        }
        buffer += size_t(n) * size_t(channels);
        frames -= n;
    }
}

int32_t LSRCACMWave::GetLength()
{
    if (endFrame_ >= 0)
        return int32_t(std::min<int64_t>(endFrame_, INT32_MAX));
    if (!stream_)
        return 0;
    int64_t waiting = (decodedFill_ - decodedPos_) / (uint32_t(GetChannels()) * 2);
    int64_t undecoded = std::max<int64_t>(dataSize_ - (bytesRead_ - sourceFill_), 0);
    int64_t estimate = std::max(position_, 0) + waiting + FrameAtOffset(undecoded);
    return int32_t(std::min<int64_t>(estimate, INT32_MAX));
}

int64_t LSRCACMWave::FrameAtOffset(int64_t offset) const
{
    if (samplesPerBlock_)
        return offset / blockAlign_ * samplesPerBlock_;
    return offset / avgBytes_ * rate_ + (offset % avgBytes_) * rate_ / avgBytes_;
}

int64_t LSRCACMWave::OffsetOfFrame(int64_t frame) const
{
    if (samplesPerBlock_)
        return frame / samplesPerBlock_ * blockAlign_;
    if (rate_ == 0)
        return frame;
    return frame / rate_ * avgBytes_ + (frame % rate_) * avgBytes_ / rate_;
}

void LSRCACMWave::Seek(int32_t frame)
{
    if (!stream_) {
        position_ = frame;
        return;
    }
    LAcmStreamHeader reset;
    stream_->Convert(reset, kAcmConvertStart);
    sourceFill_ = decodedFill_ = decodedPos_ = 0;
    bytesRead_ = 0;
    endFrame_ = -1;
    if (frame < 1) {
        file_.Seek(dataStart_);
        position_ = frame;
        return;
    }
    int64_t offset = OffsetOfFrame(frame);
    if (offset < dataSize_) {
        // Start a little before the target so a codec with memory settles first.
        if (samplesPerBlock_ == 0 && offset > 256)
            offset -= 256;
        if (blockAlign_)
            offset = offset / blockAlign_ * blockAlign_;
        bytesRead_ = offset;
        file_.Seek(dataStart_ + offset);
        position_ = int32_t(FrameAtOffset(offset));
        std::vector<int32_t> scratch(size_t(kBlockFrames) * GetChannels());
        while (position_ < frame && endFrame_ < 0)
            Read(scratch.data(), std::min<int32_t>(kBlockFrames, frame - position_));
    } else {
        file_.Seek(dataStart_ + dataSize_);
        bytesRead_ = dataSize_;
        endFrame_ = FrameAtOffset(dataSize_);
    }
    position_ = frame;
}
