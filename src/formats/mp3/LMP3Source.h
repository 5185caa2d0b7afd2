#pragma once
#include <memory>
#include <string>
#include <vector>

#include "core/LFile.h"
#include "core/LSoundSource.h"
#include "formats/mp3/MP3ByteReader.h"
#include "formats/mp3/MP3Header.h"
#include "formats/mp3/MP3Layer3Decoder.h"

// Reader of MPEG-1, 2 and 2.5 Layer III files, decoded by our own decoder.
// Maximum amplitude 2097152; full scale of the decoded signal is 524288. A stream
// is accepted only where two frames follow each other (or one frame fills the
// file). Its frames are counted by their headers when it is opened, so the length
// is exact from the start; the stream ends at the first frame that cannot be
// found or decoded. When an information frame's count agrees with the frames
// counted and it carries the encoder's delay and padding (lame's tag), positions
// and the length are those of the signal the encoder was given: the delay and the
// padding are not delivered. Seeking decodes a few frames before the target so
// that the bit reservoir and the filters are filled, and lands on exactly the
// samples a straight decode gives.
class LMP3Source : public LSoundSourceBase {
public:
    // Opens `path`. Never empty: on failure a silent source in state kSrcCannotOpen
    // (the file cannot be opened) or kSrcInvalid (no usable first frame header).
    static LSoundSource Open(const std::string& path);

    // Reads from `file`; check GetError() afterwards (kSrcInvalid when no usable frame).
    explicit LMP3Source(LFile file);
    ~LMP3Source() override;

    void Read(int32_t* buffer, int32_t frames) override;
    int32_t GetPosition() override { return position_; }
    int32_t GetLength() override { return length_; }
    void Seek(int32_t frame) override;

private:
    // One frame's bytes after its header.
    struct Frame {
        MP3Header header;
        int64_t offset = 0;  // of the header
        uint8_t side[32] = {};
        uint8_t main[2048] = {};
        int32_t mainBytes = 0;
    };

    bool DecodeInitialHeader();
    int64_t SkipId3v2();
    // Whether the frame with header `h` at `offset` is followed where it ends by a
    // header of the stream of `first`, or ends the file.
    bool FollowedByFrame(const MP3Header& h, int64_t offset, const MP3Header& first);
    // The first frame from `searchStart` that another follows; false when none
    // begins within kMaxLeadingBytes.
    bool FindFirstFrame(int64_t searchStart, MP3Header& h, int64_t& headerOffset);
    // Whether the information frame's count matches the frames found.
    bool TagAgreesWithStream() const;
    bool ReadInfoFrame(const MP3Header& h, int64_t headerOffset);
    // Takes the encoder delay and padding from the encoder's extension of an
    // information frame whose fields are announced by `flags`.
    void ReadEncoderTag(const MP3Header& h, int64_t headerOffset, uint32_t flags);
    // The length of the signal when the stream holds `streamFrames` frames.
    int32_t TrimmedLength(int64_t streamFrames) const;
    void ReadStream(int32_t* buffer, int32_t frames, int64_t start);
    // Finds the next header of this stream, skipping up to 10 that do not match,
    // and reads its side information and main data. False at the end of the stream.
    bool NextFrame(Frame& frame);
    // Decodes stream frames until one gives samples; false when the stream has ended.
    bool DecodeNext(int32_t* out);
    // Records frame offsets up to stream frame `frameNumber`; false when the stream
    // ends before it.
    bool IndexTo(int32_t frameNumber);

    MP3ByteReader reader_;
    MP3Header first_;
    std::unique_ptr<MP3Layer3Decoder> decoder_;
    std::unique_ptr<Frame> frame_;
    int32_t samplesPerFrame_ = 1152;

    int64_t audioEnd_ = 0;    // file size less a possible ID3v1 tag
    int64_t dataStart_ = 0;   // first audio frame, after tags and any information frame
    int32_t vbrFrames_ = 0;   // frame count of a VBR information frame, 0 when none
    // From the encoder's tag: stream frames before the signal (its delay plus the
    // decoder's), and after it (its padding, less the decoder's delay).
    bool trimmed_ = false;
    int32_t skip_ = 0;
    int32_t padding_ = 0;

    int32_t position_ = 0;
    int32_t length_ = 0;
    bool ended_ = false;
    int32_t nextFrame_ = 0;   // stream frame number DecodeNext produces next

    // Header offsets of the frames that give samples, in stream order, and where the
    // indexing scan stands after the last of them.
    std::vector<int64_t> frameOffsets_;
    int64_t scanOffset_ = 0;
    int32_t scanReservoir_ = 0;
    int64_t scanFrames_ = 0;  // every frame met, whether or not it gives samples
    bool scanEnded_ = false;

    std::vector<int32_t> buffer_;  // one decoded frame
    int32_t bufferNext_ = 0;
    int32_t bufferCount_ = 0;
};
