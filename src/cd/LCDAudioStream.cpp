#include "cd/LCDAudioStream.h"

#include <algorithm>
#include <cstring>

#include "core/SampleConvert.h"

namespace {
constexpr int32_t kPieceFrames = 8192;
}

LCDAudioStream::LCDAudioStream(std::vector<LSoundSource> tracks, std::vector<int32_t> frames)
    : tracks_(std::move(tracks))
{
    starts_.push_back(0);
    for (size_t i = 0; i < tracks_.size(); ++i) {
        length_ += i < frames.size() ? std::max(frames[i], 0) : 0;
        starts_.push_back(length_);
    }
}

size_t LCDAudioStream::TrackAt(int64_t frame) const
{
    const auto it = std::upper_bound(starts_.begin(), starts_.end(), frame);
    const size_t i = size_t(std::max<std::ptrdiff_t>(it - starts_.begin() - 1, 0));
    return std::min(i, tracks_.empty() ? 0 : tracks_.size() - 1);
}

void LCDAudioStream::ReadPcm(LSoundSourceBase& source, uint8_t* out, int32_t frames, std::vector<int32_t>& scratch)
{
    scratch.resize(size_t(kPieceFrames) * 2);
    for (int32_t done = 0; done < frames;) {
        const int32_t n = std::min(frames - done, kPieceFrames);
        source.Read(scratch.data(), n);
        SamplesToPcm16LE(out + size_t(done) * 4, scratch.data(), n * 2);
        done += n;
    }
}

void LCDAudioStream::Read(uint8_t* out, int32_t frames)
{
    int32_t done = 0;
    while (done < frames && position_ < length_) {
        const size_t t = TrackAt(position_);
        const int32_t n = int32_t(std::min<int64_t>(frames - done, starts_[t + 1] - position_));
        ReadPcm(*tracks_[t], out + size_t(done) * 4, n, scratch_);
        done += n;
        position_ += n;
    }
    if (done < frames)
        std::memset(out + size_t(done) * 4, 0, size_t(frames - done) * 4);
    position_ += frames - done;
}
