#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "display/LKVWaveColumns.h"
#include "display/LWaveMapping.h"
#include "edit/EditTestSupport.h"

namespace test {

// A mapping of `width` columns showing [start, start + length).
inline LWaveMapping MapOf(int32_t width, int32_t start, int32_t length)
{
    LWaveMapping m;
    m.SetWidth(width);
    m.Apply(start, length);
    return m;
}

struct Columns {
    std::vector<uint8_t> upper, lower;
};

// Every column of `map` computed by `method` of a fresh LKVWaveColumns over `list`.
template <class Method>
Columns ColumnsOf(const LCutListAudio& list, const LWaveMapping& map, Method method)
{
    LKVWaveColumns c(list);
    Columns out{std::vector<uint8_t>(size_t(map.Width())), std::vector<uint8_t>(size_t(map.Width()))};
    method(c, map, out.upper.data(), out.lower.data());
    return out;
}

// A list of one segment of `frames` frames whose value is `level(frame)` on every channel.
template <class Level>
LCutListAudio ListOfLevels(int32_t frames, uint8_t channels, Level level, int32_t rate = 8000)
{
    std::vector<int32_t> v(size_t(frames) * channels);
    for (int32_t f = 0; f < frames; ++f)
        for (int32_t c = 0; c < channels; ++c)
            v[size_t(f) * channels + c] = level(f, c);
    return ListOf(v, rate, channels);
}

} // namespace test
