#pragma once
#include <vector>

#include "core/LSoundSource.h"

// What loading a source into a new tank segment and reading the document back
// would deliver, frame for frame, without writing the segment: the load pump's
// adaptation (the 16-bit limit), its blocks and its end rule, the document's
// maximum amplitude (so that whatever reads this source treats it as it treats
// a document) and the gain that Amplify gives the whole document. For runs that
// read a file once from start to end: it holds one block of the pump, and a seek
// back before that block puts it in error.
class LSRCSegmentStream : public LSoundSourceBase {
public:
    // Pumps the first block at once; an upstream in error gives a source in error.
    explicit LSRCSegmentStream(const LSoundSource& upstream);
    void Read(int32_t* buffer, int32_t frames) override;
    int32_t GetPosition() override { return position_; }
    // The end the pump found; until it finds it, the upstream's length, but
    // always past the frames pumped so far.
    int32_t GetLength() override;
    void Seek(int32_t frame) override;

    // Multiplies the whole document's gain by `percent` / 100 as Amplify does.
    void Amplify(int32_t percent);

private:
    void Pump();

    LSoundSource upstream_;  // as the pump adapts it
    std::vector<int32_t> block_;
    int64_t blockStart_;     // frame of block_[0]
    int32_t valid_ = 0;      // frames of block_ that belong to the document
    bool ended_ = false;
    int32_t position_ = 0;
    int32_t gain_;
};
