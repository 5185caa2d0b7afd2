#include "edit/LSRCSegmentStream.h"

#include <algorithm>

#include "core/LPRSourceToSink.h"
#include "core/Q24.h"
#include "edit/LCutListAudio.h"
#include "edit/LSRCCutListAudio.h"

namespace {
constexpr int32_t kBlock = LPRSourceToSink::kBlockFrames;
}

LSRCSegmentStream::LSRCSegmentStream(const LSoundSource& upstream)
    : LSoundSourceBase(upstream->GetSampleRate(), upstream->GetChannels(), LSRCCutListAudio::kMaxAmplitude),
      // The tank's sink takes the source's own rate and channels.
      upstream_(LPRSourceToSink::Adapt(upstream, upstream->GetSampleRate(), upstream->GetChannels())),
      block_(size_t(kBlock) * GetChannels()),
      blockStart_(-int64_t(kBlock)),
      gain_(kQ24Unity)
{
    if (upstream->GetError() != kSrcGood) {
        SetError(kSrcUpstreamError);
        ended_ = true;
        blockStart_ = 0;
        return;
    }
    Pump();
}

void LSRCSegmentStream::Pump()
{
    blockStart_ += kBlock;
    bool last = false;
    valid_ = LPRSourceToSink::NextBlock(*upstream_, block_.data(), last);
    // The tank counts at most INT32_MAX frames.
    valid_ = int32_t(std::clamp<int64_t>(int64_t(INT32_MAX) - blockStart_, 0, valid_));
    ended_ = last || valid_ < kBlock;
}

int32_t LSRCSegmentStream::GetLength()
{
    const int64_t pumped = blockStart_ + valid_;
    if (ended_)
        return int32_t(pumped);
    return int32_t(std::min<int64_t>(std::max<int64_t>(upstream_->GetLength(), pumped + 1), INT32_MAX));
}

void LSRCSegmentStream::Read(int32_t* buffer, int32_t frames)
{
    if (frames <= 0)
        return;
    const size_t channels = GetChannels();
    int64_t at = position_;
    position_ = int32_t(std::min<int64_t>(at + frames, INT32_MAX));
    while (frames > 0) {
        int32_t n;
        if (at < 0) {
            n = int32_t(std::min<int64_t>(frames, -at));
            std::fill_n(buffer, size_t(n) * channels, 0);
        } else if (!ended_ && at >= blockStart_ + kBlock) {
            Pump();
            continue;
        } else if (at >= blockStart_ && at < blockStart_ + valid_) {
            n = int32_t(std::min<int64_t>(frames, blockStart_ + valid_ - at));
            const int32_t* from = block_.data() + size_t(at - blockStart_) * channels;
            const size_t values = size_t(n) * channels;
            if (gain_ == kQ24Unity)
                std::copy_n(from, values, buffer);
            else
                for (size_t i = 0; i < values; ++i)
                    buffer[i] = Q24Mul(from[i], gain_);
        } else {
            // Frames lost by a seek back, or past the end.
            n = at < blockStart_ ? int32_t(std::min<int64_t>(frames, blockStart_ - at)) : frames;
            std::fill_n(buffer, size_t(n) * channels, 0);
        }
        buffer += size_t(n) * channels;
        frames -= n;
        at += n;
    }
}

void LSRCSegmentStream::Seek(int32_t frame)
{
    // Frames before the block held are gone: only a document could give them again.
    if (frame >= 0 && frame < blockStart_)
        SetError(kSrcInvalid);
    position_ = frame;
}

void LSRCSegmentStream::Amplify(int32_t percent) { gain_ = LCutListAudio::AmplifiedGain(gain_, percent); }
