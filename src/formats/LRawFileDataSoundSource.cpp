#include "formats/LRawFileDataSoundSource.h"

#include <algorithm>

#include "core/LSRCNull.h"

namespace {
constexpr int32_t kBufferFrames = 8192;
}

LRawFileDataSoundSourceBase::LRawFileDataSoundSourceBase(LFile file, int64_t dataStart, int64_t dataSize, int32_t rate,
                                                         uint16_t fileChannels, int32_t bytesPerSample,
                                                         uint32_t maxAmplitude)
    : LSoundSourceBase(rate, uint8_t(std::min<uint16_t>(fileChannels, 255)), maxAmplitude),
      file_(std::move(file)),
      dataStart_(std::max<int64_t>(dataStart, 0)),
      bytesPerFrame_(std::max<int32_t>(fileChannels, 1) * bytesPerSample)
{
    if (!file_.IsOpen())
        SetError(kSrcCannotOpen);
    // A declared size beyond the end of the file (a copy cut short) is cut to the
    // bytes that are there.
    if (dataSize >= 0)
        dataSize = std::min<int64_t>(dataSize, std::max<int64_t>(file_.GetFileSizeBytes() - dataStart_, 0));
    length_ = dataSize < 0 ? -1 : std::min<int64_t>(dataSize / bytesPerFrame_, INT32_MAX);
    buffer_.resize(size_t(kBufferFrames) * size_t(bytesPerFrame_));
}

int32_t LRawFileDataSoundSourceBase::GetLength()
{
    if (length_ >= 0)
        return int32_t(length_);
    int64_t bytes = std::max<int64_t>(file_.GetFileSizeBytes() - dataStart_, 0);
    return int32_t(std::min<int64_t>(bytes / bytesPerFrame_, INT32_MAX));
}

void LRawFileDataSoundSourceBase::Read(int32_t* buffer, int32_t frames)
{
    const int32_t channels = GetChannels();
    while (frames > 0) {
        const int32_t n = std::min(frames, kBufferFrames);
        const int64_t start = position_;
        const int64_t end = start + n;
        position_ = int32_t(std::min<int64_t>(end, INT32_MAX));
        // The part [first, last) of this block that may lie in the data; a short
        // read at the end of the file leaves the rest silent.
        const int64_t first = std::max<int64_t>(start, 0);
        const int64_t last = length_ >= 0 ? std::min<int64_t>(end, length_) : end;
        int32_t got = 0;
        if (last > first) {
            int32_t want = int32_t(last - first) * bytesPerFrame_;
            got = file_.ReadAt(dataStart_ + first * bytesPerFrame_, buffer_.data(), want) / bytesPerFrame_;
        }
        const int32_t lead = int32_t(std::clamp<int64_t>(first - start, 0, n));
        std::fill_n(buffer, size_t(lead) * size_t(channels), 0);
        Convert(buffer + size_t(lead) * size_t(channels), buffer_.data(), got * channels);
        const int32_t done = lead + got;
        std::fill_n(buffer + size_t(done) * size_t(channels), size_t(n - done) * size_t(channels), 0);
        buffer += size_t(n) * size_t(channels);
        frames -= n;
    }
}

LSoundSource MakeRawDataSource(uint8_t codec, LFile file, int64_t dataStart, int64_t dataSize, int32_t rate,
                               uint16_t fileChannels)
{
    switch (codec) {
    case kRawCodecMuLaw:
        return MakeSource<LRawFileDataSoundSource<LRawMuLaw>>(std::move(file), dataStart, dataSize, rate, fileChannels);
    case kRawCodecALaw:
        return MakeSource<LRawFileDataSoundSource<LRawALaw>>(std::move(file), dataStart, dataSize, rate, fileChannels);
    case kRawCodecPcm16LE:
        return MakeSource<LRawFileDataSoundSource<LRawPcm16LE>>(std::move(file), dataStart, dataSize, rate, fileChannels);
    case kRawCodecPcm8Unsigned:
        return MakeSource<LRawFileDataSoundSource<LRawPcm8Unsigned>>(std::move(file), dataStart, dataSize, rate,
                                                                    fileChannels);
    case kRawCodecPcm8Signed:
        return MakeSource<LRawFileDataSoundSource<LRawPcm8Signed>>(std::move(file), dataStart, dataSize, rate,
                                                                  fileChannels);
    case kRawCodecPcm16BE:
        return MakeSource<LRawFileDataSoundSource<LRawPcm16BE>>(std::move(file), dataStart, dataSize, rate, fileChannels);
    default:
        return MakeErrorSource(kSrcInvalid);
    }
}
