#include "display/LCutListChange.h"

#include <algorithm>
#include <climits>
#include <vector>

namespace {

// A cut reduced to what decides the audio it plays.
struct Piece {
    LSegmentRef segment;
    int64_t start;
    int64_t length;
    int32_t gain;
    bool silent;
};

std::vector<Piece> PiecesOf(const LCutListAudio& list)
{
    std::vector<Piece> pieces;
    pieces.reserve(list.Cuts().size());
    for (const LCut& c : list.Cuts())
        if (c.length > 0)
            pieces.push_back({c.Segment(), c.start, c.length, c.gain, c.IsSilent()});
    return pieces;
}

// Frames at the start of both (or, with `fromEnd`, at the end) that play the same audio.
int64_t CommonFrames(const std::vector<Piece>& a, const std::vector<Piece>& b, bool fromEnd)
{
    size_t i = 0, j = 0;
    int64_t oi = 0, oj = 0;  // frames of the current pieces already passed
    int64_t common = 0;
    while (i < a.size() && j < b.size()) {
        const Piece& p = fromEnd ? a[a.size() - 1 - i] : a[i];
        const Piece& q = fromEnd ? b[b.size() - 1 - j] : b[j];
        const int64_t n = std::min(p.length - oi, q.length - oj);
        // The segment frame each piece plays next (from the end: the last one not yet passed).
        const int64_t fp = fromEnd ? p.start + p.length - oi : p.start + oi;
        const int64_t fq = fromEnd ? q.start + q.length - oj : q.start + oj;
        const bool same = (p.silent && q.silent) || (!p.silent && !q.silent && p.segment == q.segment &&
                                                     p.gain == q.gain && fp == fq);
        if (!same)
            break;
        common += n;
        oi += n;
        oj += n;
        if (oi == p.length)
            ++i, oi = 0;
        if (oj == q.length)
            ++j, oj = 0;
    }
    return common;
}

} // namespace

LCutListChange LCutListChange::Between(const LCutListAudio& before, const LCutListAudio& after)
{
    if (before.sampleRate != after.sampleRate || before.channels != after.channels)
        return {0, INT64_MAX};
    const std::vector<Piece> a = PiecesOf(before), b = PiecesOf(after);
    int64_t lengthA = 0, lengthB = 0;
    for (const Piece& p : a)
        lengthA += p.length;
    for (const Piece& p : b)
        lengthB += p.length;
    const int64_t from = CommonFrames(a, b, false);
    if (lengthA != lengthB)
        return {from, INT64_MAX};
    if (from == lengthA)
        return {from, from};
    const int64_t to = std::max(lengthA - CommonFrames(a, b, true), from);
    return {from, to};
}
