#pragma once
#include <cstdint>
#include <utility>

#include "core/Q24.h"
#include "edit/LAudioCutTank.h"

// One stretch of a segment (or of silence) with a gain. A cut that names a real
// segment holds one reference of the tank for as long as it exists: copies take
// a reference, destruction drops it, moves hand it over.
class LCut {
public:
    static constexpr int32_t kMaxGain = 0x7FFFFFFF;

    LCut() = default;
    // A silent cut of `length` frames.
    static LCut Silence(int32_t length) { return LCut(kSilentSegment, length, kQ24Unity, 0); }
    // Takes over one reference of `segment` that the caller already counted.
    static LCut Adopt(LSegmentRef segment, int32_t length, int32_t gain, int32_t start)
    {
        return LCut(segment, length, gain, start);
    }

    LCut(const LCut& other) : LCut(other.segment_, other.length, other.gain, other.start)
    {
        LAudioCutTank::Get().IncRef(segment_);
    }
    LCut(LCut&& other) noexcept : LCut(other.segment_, other.length, other.gain, other.start)
    {
        other.segment_ = kSilentSegment;
    }
    LCut& operator=(LCut other) noexcept
    {
        Swap(other);
        return *this;
    }
    ~LCut() { LAudioCutTank::Get().DecRef(segment_); }

    LSegmentRef Segment() const { return segment_; }
    bool IsSilent() const { return segment_ == kSilentSegment; }
    void Swap(LCut& other) noexcept;

    int32_t length = 0;          // frames
    int32_t gain = kQ24Unity;    // Q24; kMaxGain is the ceiling
    int32_t start = 0;           // first frame within the segment

private:
    friend class LCutListAudio;
    LCut(LSegmentRef segment, int32_t len, int32_t g, int32_t s) : length(len), gain(g), start(s), segment_(segment) {}
    // Drops the reference without telling the tank (the caller releases it in bulk).
    LSegmentRef Release()
    {
        LSegmentRef s = segment_;
        segment_ = kSilentSegment;
        return s;
    }

    LSegmentRef segment_ = kSilentSegment;
};

inline void LCut::Swap(LCut& other) noexcept
{
    std::swap(length, other.length);
    std::swap(gain, other.gain);
    std::swap(start, other.start);
    std::swap(segment_, other.segment_);
}
