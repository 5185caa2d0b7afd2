#include "edit/LSNKCutTank.h"

#include <algorithm>
#include <bit>
#include <cerrno>

#include "edit/LCutListAudio.h"

static_assert(std::endian::native == std::endian::little, "segment files hold little-endian frames");

LSNKCutTank::LSNKCutTank(LCutListAudio* destination, int32_t rate, uint8_t channels,
                         std::shared_ptr<LTankSinkProgress> progress)
    : LSoundSinkBase(rate, channels),
      destination_(destination),
      maxima_(GetChannels(), 0),
      minima_(GetChannels(), 0),
      progress_(std::move(progress))
{
    LAudioCutTank& tank = LAudioCutTank::Get();
    segment_ = tank.GetNewRefAndIncRef();
    if (segment_ == kSilentSegment)
        SetError();
    else if (!audio_.Open(tank.GetAudFilePath(segment_), LFile::Mode::Create) ||
             !peaks_.Open(tank.GetGrfFilePath(segment_), LFile::Mode::Create))
        SetError(errno);
    if (progress_) {
        progress_->frames.store(0);
        progress_->segment.store(IsError() ? kSilentSegment : segment_);
    }
}

LSNKCutTank::~LSNKCutTank()
{
    if (framesInBlock_ != 0)
        EmitPeaks();
    FlushPeaks();
    if (destination_) {
        destination_->Clear();
        destination_->sampleRate = GetSampleRate();
        destination_->channels = GetChannels();
        LAudioCutTank::Get().IncRef(segment_);
        destination_->Add(LCut::Adopt(segment_, int32_t(std::min<uint32_t>(position_, INT32_MAX)), kQ24Unity, 0));
    }
    audio_.Close();
    peaks_.Close();
    LAudioCutTank::Get().DecRef(segment_);
}

// Two plain loops the compiler vectorises; the channels of a frame are interleaved.
void LSNKCutTank::FoldMono(const int32_t* v, int32_t frames)
{
    int32_t hi = maxima_[0], lo = minima_[0];
    for (int32_t f = 0; f < frames; ++f) {
        hi = std::max(hi, v[f]);
        lo = std::min(lo, v[f]);
    }
    maxima_[0] = hi;
    minima_[0] = lo;
}

void LSNKCutTank::FoldStereo(const int32_t* v, int32_t frames)
{
    int32_t hl = maxima_[0], ll = minima_[0], hr = maxima_[1], lr = minima_[1];
    for (int32_t f = 0; f < frames; ++f) {
        hl = std::max(hl, v[2 * f]);
        ll = std::min(ll, v[2 * f]);
        hr = std::max(hr, v[2 * f + 1]);
        lr = std::min(lr, v[2 * f + 1]);
    }
    maxima_[0] = hl, minima_[0] = ll, maxima_[1] = hr, minima_[1] = lr;
}

void LSNKCutTank::EmitPeaks()
{
    for (size_t ch = 0; ch < maxima_.size(); ++ch) {
        pendingPeaks_.push_back(uint8_t(std::min(255, maxima_[ch] >> 11)));
        pendingPeaks_.push_back(uint8_t(std::min<int64_t>(255, (-int64_t(minima_[ch])) >> 11)));
        maxima_[ch] = 0;
        minima_[ch] = 0;
    }
    framesInBlock_ = 0;
}

void LSNKCutTank::FlushPeaks()
{
    if (pendingPeaks_.empty())
        return;
    int32_t bytes = int32_t(pendingPeaks_.size());
    if (peaks_.Write(pendingPeaks_.data(), bytes) != bytes)
        SetError(errno);
    pendingPeaks_.clear();
}

void LSNKCutTank::Write(const int32_t* buffer, int32_t frames)
{
    // After a failed write nothing more goes in: what follows would land after
    // a gap, and the segment keeps exactly the frames written before.
    if (frames <= 0 || IsError())
        return;
    const int32_t channels = GetChannels();
    const int32_t bytes = frames * channels * 4;
    errno = 0;
    if (audio_.Write(buffer, bytes) != bytes) {
        SetError(errno != 0 ? errno : EIO);
        // Part of the block may have landed (a disk that filled up mid-way):
        // it is cut off, so the file holds exactly what the position counts.
        if (audio_.Seek(int64_t(position_) * channels * 4))
            audio_.SetEndOfFile();
        return;
    }
    position_ += uint32_t(frames);
    while (frames > 0) {
        int32_t k = std::min(kPeakBlock - framesInBlock_, frames);
        if (channels == 2)
            FoldStereo(buffer, k);
        else
            FoldMono(buffer, k);
        framesInBlock_ += k;
        if (framesInBlock_ == kPeakBlock)
            EmitPeaks();
        buffer += size_t(k) * size_t(channels);
        frames -= k;
    }
    FlushPeaks();
    if (progress_)
        progress_->frames.store(position_, std::memory_order_release);
}

void LSNKCutTank::Seek(int32_t frame)
{
    FlushPeaks();
    // Back only, once a write has failed: the cut never claims frames not written.
    const uint32_t to = uint32_t(std::max(frame, 0));
    position_ = IsError() ? std::min(to, position_) : to;
    const int64_t channels = GetChannels();
    audio_.Seek(int64_t(position_) * channels * 4);
    peaks_.Seek(int64_t(position_ / kPeakBlock) * channels * 2);
    std::fill(maxima_.begin(), maxima_.end(), 0);
    std::fill(minima_.begin(), minima_.end(), 0);
    framesInBlock_ = int32_t(position_ % kPeakBlock);
    if (progress_)
        progress_->frames.store(std::min(position_, progress_->frames.load()), std::memory_order_release);
}
