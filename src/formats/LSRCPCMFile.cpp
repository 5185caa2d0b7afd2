#include "formats/LSRCPCMFile.h"

#include <algorithm>
#include <cstring>

#include "core/SampleConvert.h"

namespace {
constexpr int32_t kBufferFrames = 8192;
}

LSRCPCMFileBase::LSRCPCMFileBase(LFile file, int32_t rate, uint16_t fileChannels, uint32_t dataSize,
                                 int32_t bytesPerSample)
    : LSoundSourceBase(rate, uint8_t(std::min<uint16_t>(fileChannels, 255)), kFullScale16),
      file_(std::move(file)),
      bytesPerFrame_(std::max<int32_t>(fileChannels, 1) * bytesPerSample)
{
    if (!file_.IsOpen())
        SetError(kSrcCannotOpen);
    dataStart_ = file_.Tell();
    // A header that claims more than the file holds (a copy cut short, a damaged
    // size) is cut to what is there, as for a writer that never finished: reading
    // gigabytes of silence that were never recorded helps nobody.
    const int64_t present = std::max<int64_t>(file_.GetFileSizeBytes() - dataStart_, 0);
    const int64_t bytes = dataSize == 0xFFFFFFFFu ? present : std::min<int64_t>(dataSize, present);
    length_ = int32_t(std::min<int64_t>(bytes / bytesPerFrame_, INT32_MAX));
    buffer_.resize(size_t(kBufferFrames) * size_t(bytesPerFrame_));
}

void LSRCPCMFileBase::Read(int32_t* buffer, int32_t frames)
{
    const int32_t channels = GetChannels();
    while (frames > 0) {
        int32_t n = std::min(frames, kBufferFrames);
        int64_t start = position_;
        int64_t end = start + n;
        position_ = int32_t(std::min<int64_t>(end, INT32_MAX));
        // The stretch [first, last) of this block that lies inside the data.
        int64_t first = std::max<int64_t>(start, 0);
        int64_t last = std::min<int64_t>(end, length_);
        int32_t got = 0;
        if (last > first) {
            int32_t want = int32_t(last - first);
            int32_t bytes = file_.ReadAt(dataStart_ + first * bytesPerFrame_, buffer_.data(), want * bytesPerFrame_);
            got = bytes / bytesPerFrame_;
        }
        int32_t lead = int32_t(std::clamp<int64_t>(first - start, 0, n));
        std::fill_n(buffer, size_t(lead) * size_t(channels), 0);
        Convert(buffer + size_t(lead) * size_t(channels), buffer_.data(), got * channels);
        int32_t done = lead + got;
        std::fill_n(buffer + size_t(done) * size_t(channels), size_t(n - done) * size_t(channels), 0);
        buffer += size_t(n) * size_t(channels);
        frames -= n;
    }
}

void LSRCPCM8File::Convert(int32_t* dst, const uint8_t* src, int32_t count) { SamplesFromPcm8(dst, src, count); }

void LSRCPCM16File::Convert(int32_t* dst, const uint8_t* src, int32_t count) { SamplesFromPcm16LE(dst, src, count); }
