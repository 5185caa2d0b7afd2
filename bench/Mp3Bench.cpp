// MP3 decoding speed. Mp3Decode decodes a generated 30 s file from memory-cached
// disk; Mp3File decodes the file named by KELVANE_MP3 once into the 16-bit WAV
// named by KELVANE_MP3_OUT, which is how bench/rows/mp3.sh times a whole file.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/LFile.h"
#include "core/LSoundSink.h"
#include "formats/LWaveFile.h"
#include "formats/mp3/LMP3Source.h"

namespace {

// Decodes `source` to its end, passing each block to `sink` when there is one.
int64_t DecodeAll(LSoundSource source, LSoundSink* sink)
{
    const int32_t ch = source->GetChannels();
    const int32_t block = 8192;
    std::vector<int32_t> buffer(size_t(block) * ch);
    int64_t frames = 0;
    while (source->GetPosition() < source->GetLength()) {
        source->Read(buffer.data(), block);
        int32_t valid = block - std::max(source->GetPosition() - source->GetLength(), 0);
        if (sink && valid > 0) {
            for (int32_t& v : buffer)
                v = std::clamp(v, -0x7FFF0, 0x7FFF0);
            (*sink)->Write(buffer.data(), valid);
        }
        frames += std::max(valid, 0);
    }
    return frames;
}

// A 30 s stereo 128 kbit/s file made once with sox and lame.
std::string GeneratedFile()
{
    static std::string path;
    if (path.empty()) {
        std::string dir = GetTempFolder();
        std::string wav = dir + "/kelvane-mp3bench.wav";
        std::string mp3 = dir + "/kelvane-mp3bench.mp3";
        std::string cmd = "sox -R -q -n -r 44100 -c 2 -b 16 " + wav +
                          " synth 30 sine 220 pinknoise remix 1 2 gain -6 && lame --quiet -b 128 " + wav + " " + mp3;
        if (std::system(cmd.c_str()) == 0)
            path = mp3;
        std::remove(wav.c_str());
    }
    return path;
}

void BM_Mp3Decode(benchmark::State& state)
{
    const std::string path = GeneratedFile();
    if (path.empty()) {
        state.SkipWithError("sox or lame missing");
        return;
    }
    int64_t frames = 0;
    for (auto _ : state)
        frames += DecodeAll(LMP3Source::Open(path), nullptr);
    state.counters["frames/s"] = benchmark::Counter(double(frames), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Mp3Decode)->Unit(benchmark::kMillisecond);

void BM_Mp3File(benchmark::State& state)
{
    const char* in = std::getenv("KELVANE_MP3");
    const char* out = std::getenv("KELVANE_MP3_OUT");
    if (!in || !out) {
        state.SkipWithError("set KELVANE_MP3 and KELVANE_MP3_OUT");
        return;
    }
    for (auto _ : state) {
        LSoundSource source = LMP3Source::Open(in);
        LSoundSink sink = LWaveFile::OpenSinkPCM(out, source->GetSampleRate(), 0, 16, source->GetChannels());
        DecodeAll(source, &sink);
    }
}
BENCHMARK(BM_Mp3File)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
