#pragma once
#include <cstdint>
#include <vector>

#include "core/LSoundSource.h"

// Tracks as CD-DA bytes: 16-bit little-endian stereo frames, 588 to a 2352-byte
// sector, each sample s of the stream becoming (s + 8) >> 4. The tracks follow
// one another without a gap (a disc at once); a single track is what a track at
// once writes. Reads go to the sources in pieces of at most 8192 frames. Used on
// one thread at a time.
class LCDAudioStream {
public:
    // `tracks` are in the disc format (44100 Hz, two channels, within +-0x7FFF0)
    // and at frame 0; `frames` holds how many frames of each belong to the stream.
    LCDAudioStream(std::vector<LSoundSource> tracks, std::vector<int32_t> frames);

    // The next `frames` frames as 4 * `frames` bytes; past the end, silence.
    void Read(uint8_t* out, int32_t frames);
    // Frames delivered so far, and in all.
    int64_t Position() const { return position_; }
    int64_t Length() const { return length_; }
    int64_t Remaining() const { return length_ - position_; }
    // The frame of the stream where track `i` (0-based) starts.
    int64_t TrackStart(size_t i) const { return starts_[i]; }
    // The track the frame `frame` of the stream belongs to (0-based).
    size_t TrackAt(int64_t frame) const;
    size_t TrackCount() const { return tracks_.size(); }

    // `frames` frames of `source` (two channels) as CD-DA bytes, read in pieces
    // of at most 8192 frames through `scratch`.
    static void ReadPcm(LSoundSourceBase& source, uint8_t* out, int32_t frames, std::vector<int32_t>& scratch);

private:
    std::vector<LSoundSource> tracks_;
    std::vector<int64_t> starts_;  // tracks + 1 entries, the last the length
    std::vector<int32_t> scratch_;
    int64_t position_ = 0;
    int64_t length_ = 0;
};
