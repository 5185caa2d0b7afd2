#pragma once
#include <vector>

#include "edit/LCutListAudio.h"
#include "support/TestSupport.h"

namespace test {

// A list holding one new segment with `values` (interleaved frames).
inline LCutListAudio ListOf(const std::vector<int32_t>& values, int32_t rate = 8000, uint8_t channels = 1)
{
    LCutListAudio list;
    {
        LSoundSink sink = list.OpenSink(rate, channels);
        sink->Write(values.data(), int32_t(values.size() / channels));
    }
    return list;
}

inline std::vector<int32_t> Frames(const LCutListAudio& list) { return ReadAll(list.OpenSource(), 3); }

struct CutView {
    LSegmentRef segment;
    int32_t length, gain, start;
    friend bool operator==(const CutView&, const CutView&) = default;
};

inline std::vector<CutView> View(const LCutListAudio& list)
{
    std::vector<CutView> v;
    for (const LCut& c : list.Cuts())
        v.push_back({c.Segment(), c.length, c.gain, c.start});
    return v;
}

} // namespace test
