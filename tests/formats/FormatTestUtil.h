#pragma once
// Helpers shared by the reader and writer tests: files decoded by sox as the
// reference, and sources and sinks driven in uneven pieces.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "core/LSoundSink.h"
#include "core/LSoundSource.h"
#include "support/TestSupport.h"

namespace test {

// `path` decoded by sox (with `inputArgs` before the file for headerless input)
// to 16-bit samples, returned on the stream scale (x16). Empty when sox fails.
inline std::vector<int32_t> SoxDecode(const std::string& path, const std::string& inputArgs = "")
{
    std::string out = path + ".sox.s16";
    std::string cmd = "sox -D " + inputArgs + " " + Quote(path) + " -t raw -e signed-integer -b 16 -L " + Quote(out);
    if (Run(cmd) != 0)
        return {};
    std::string bytes = ReadFileBytes(out);
    std::vector<int32_t> v(bytes.size() / 2);
    for (size_t i = 0; i < v.size(); ++i) {
        auto lo = uint8_t(bytes[2 * i]);
        auto hi = uint8_t(bytes[2 * i + 1]);
        v[i] = int32_t(int16_t(uint16_t(lo | (hi << 8)))) * 16;
    }
    return v;
}

// Makes a file with sox from a generated signal: `soxOutput` are the output options.
inline std::string SoxMake(const std::string& name, const std::string& soxOutput, const std::string& synth)
{
    std::string path = TempPath(name);
    EXPECT_EQ(0, Run("sox -D -n " + soxOutput + " " + Quote(path) + " " + synth)) << name;
    return path;
}

// Reads from the current position to the length in pieces cycling through `pieces`.
inline std::vector<int32_t> ReadInPieces(LSoundSource source, std::vector<int32_t> pieces)
{
    std::vector<int32_t> out;
    size_t i = 0;
    const int32_t ch = source->GetChannels();
    for (;;) {
        int32_t left = source->GetLength() - source->GetPosition();
        if (left <= 0)
            return out;
        int32_t n = std::min(left, pieces[i++ % pieces.size()]);
        std::vector<int32_t> block(size_t(n) * size_t(ch), -1);
        source->Read(block.data(), n);
        out.insert(out.end(), block.begin(), block.end());
    }
}

// Writes interleaved `values` into `sink` in pieces cycling through `pieces`.
inline void WriteInPieces(LSoundSink& sink, const std::vector<int32_t>& values, std::vector<int32_t> pieces)
{
    const int32_t ch = sink->GetChannels();
    const int32_t frames = int32_t(values.size()) / ch;
    int32_t done = 0;
    for (size_t i = 0; done < frames; ++i) {
        int32_t n = std::min(frames - done, pieces[i % pieces.size()]);
        sink->Write(values.data() + size_t(done) * size_t(ch), n);
        done += n;
    }
}

// Stream values of a loud two-tone signal with noise, already on the 16-bit grid
// (x16) so that 16-bit writers must reproduce them exactly.
inline std::vector<int32_t> TestSignal(int32_t frames, uint8_t channels, uint32_t seed = 5)
{
    std::vector<int32_t> v(size_t(frames) * channels);
    uint32_t r = seed;
    for (int32_t f = 0; f < frames; ++f) {
        for (int32_t c = 0; c < channels; ++c) {
            r = r * 1664525u + 1013904223u;
            double s = 14000.0 * std::sin(0.031 * f * (c + 1)) + 9000.0 * std::sin(0.57 * f) +
                       double(int32_t(r >> 20) - 2048) * 2.0;
            v[size_t(f) * channels + size_t(c)] = int32_t(std::lround(s)) * 16;
        }
    }
    // Full scale of both signs on the grid.
    if (v.size() >= 2) {
        v[0] = 0x7FFF0;
        v[1] = -0x80000;
    }
    return v;
}

} // namespace test
