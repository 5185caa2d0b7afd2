#pragma once
#include <cstdint>

// The AccurateRip checksums of one track, versions 1 and 2, taken as its
// frames go by. Each frame is one 32-bit value, the left 16-bit sample in the
// low half and the right in the high half, weighted by its 1-based position in
// the track: version 1 adds the low 32 bits of value × position, version 2 adds
// both halves of the 64-bit product. The first track leaves out its first five
// sectors less one frame and the last track its last five sectors, which drives
// with a read offset cannot all read. Not thread-safe.
class LAccurateRip {
public:
    // `frames`: the whole track; `first`, `last`: whether it is the disc's first or last track.
    LAccurateRip(int32_t frames, bool first, bool last);
    // The next `frames` frames as CD-DA gives them: 16-bit little-endian, left then right.
    void Add(const uint8_t* samples, int32_t frames);
    uint32_t V1() const { return v1_; }
    uint32_t V2() const { return v2_; }

    static constexpr int32_t kSkippedFrames = 5 * 588;

private:
    uint32_t position_ = 1;  // of the next frame
    uint32_t from_;
    uint32_t to_;
    uint32_t v1_ = 0;
    uint32_t v2_ = 0;
};
