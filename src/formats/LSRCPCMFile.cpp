#include "formats/LSRCPCMFile.h"

#include <algorithm>
#include <cmath>
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

namespace {

int32_t Limit20(int64_t v) { return int32_t(std::clamp<int64_t>(v, -0x80000, kFullScale16)); }

// NaN reads as silence; infinities and overs as full scale.
int32_t FromFloat(double x) { return std::isnan(x) ? 0 : Limit20(std::llround(std::clamp(x, -2.0, 2.0) * 524288.0)); }

} // namespace

void LSRCPCMWideFile::Convert(int32_t* dst, const uint8_t* src, int32_t count)
{
    // One loop a layout, so that the per-sample work is the conversion alone.
    if (float_ && bytes_ == 8) {
        for (int32_t i = 0; i < count; ++i, src += 8) {
            uint64_t bits = 0;
            for (int32_t b = 7; b >= 0; --b)
                bits = bits << 8 | src[b];
            double x = 0;
            std::memcpy(&x, &bits, 8);
            dst[i] = FromFloat(x);
        }
    } else if (float_) {
        for (int32_t i = 0; i < count; ++i, src += 4) {
            const uint32_t bits = uint32_t(src[0]) | uint32_t(src[1]) << 8 | uint32_t(src[2]) << 16 |
                                  uint32_t(src[3]) << 24;
            float f = 0;
            std::memcpy(&f, &bits, 4);
            dst[i] = FromFloat(f);
        }
    } else if (bytes_ == 3) {
        // The sample as the top of a 32-bit value, then rounded down to 20 bits.
        for (int32_t i = 0; i < count; ++i, src += 3) {
            const uint32_t u = uint32_t(src[0]) << 8 | uint32_t(src[1]) << 16 | uint32_t(src[2]) << 24;
            dst[i] = Limit20((int64_t(int32_t(u)) + 2048) >> 12);
        }
    } else {
        for (int32_t i = 0; i < count; ++i, src += 4) {
            const uint32_t u = uint32_t(src[0]) | uint32_t(src[1]) << 8 | uint32_t(src[2]) << 16 | uint32_t(src[3]) << 24;
            dst[i] = Limit20((int64_t(int32_t(u)) + 2048) >> 12);
        }
    }
}
