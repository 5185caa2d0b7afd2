#pragma once
#include <vector>

#include "core/LSRCFilterBase.h"

// A source of more than two channels mixed down to stereo with the weights of
// LMixDownMatrix, so that a surround file reads alike whichever reader opens it.
// Counts FFmpeg has no layout for mix the even channels into the left and the
// odd ones into the right, each at an equal share. Values are mixed in 64-bit
// sums and rounded to the nearest; the maximum amplitude stays the upstream's,
// since no output row weighs more than 1.
class LSRCMixDown : public LSRCFilterBase {
public:
    // `channelMask`: the file's speaker positions as WAV channel mask bits, 0 when unknown.
    LSRCMixDown(LSoundSource upstream, uint64_t channelMask);
    void Read(int32_t* buffer, int32_t frames) override;

    // Returns `source` itself when it has at most two channels or is in error,
    // else the mix-down over it.
    static LSoundSource Wrap(LSoundSource source, uint64_t channelMask = 0);

private:
    int32_t inChannels_;
    std::vector<int64_t> weights_;  // left row, then right row, 2^kShift = 1
    std::vector<int32_t> work_;
};
