#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/LPRSourceToSink.h"
#include "edit/LCutListAudioLoadSource.h"
#include "effects/CompressorRatioList.h"
#include "effects/LEfReverse.h"
#include "effects/LSRCCompressor.h"
#include "effects/LSRCEcho.h"
#include "effects/LSRCEq.h"
#include "effects/LSRCHighPass.h"
#include "effects/LSRCNoiseGates.h"
#include "effects/LSRCReverb.h"
#include "formats/LWaveFile.h"

namespace {

// Ten seconds of 44.1 kHz stereo music-like material (two tones and some
// noise) held in memory, so the filters are timed without file reads.
class MaterialSource : public LSoundSourceBase {
public:
    static constexpr int32_t kFrames = 441000;

    MaterialSource() : LSoundSourceBase(44100, 2, 0x7FFF0)
    {
        values_.resize(size_t(kFrames) * 2);
        uint32_t seed = 1;
        for (int32_t i = 0; i < kFrames; ++i) {
            seed = seed * 1664525u + 1013904223u;
            const double t = i / 44100.0;
            const double v = 150000 * std::sin(2 * M_PI * 440 * t) + 90000 * std::sin(2 * M_PI * 3150 * t);
            values_[size_t(i) * 2] = int32_t(v) + int32_t(seed >> 18) - 8192;
            values_[size_t(i) * 2 + 1] = int32_t(v / 2) - int32_t(seed >> 19);
        }
    }
    void Read(int32_t* buffer, int32_t frames) override
    {
        for (int32_t f = 0; f < frames; ++f, ++position_)
            for (size_t c = 0; c < 2; ++c)
                *buffer++ = position_ >= 0 && position_ < kFrames ? values_[size_t(position_) * 2 + c] : 0;
    }
    int32_t GetPosition() override { return position_; }
    int32_t GetLength() override { return kFrames; }
    void Seek(int32_t frame) override { position_ = frame; }

private:
    std::vector<int32_t> values_;
    int32_t position_ = 0;
};

// Reads the whole filter once per iteration; reports how many times faster
// than real time that is (44.1 kHz stereo).
void Drain(benchmark::State& state, const LEfSourceMaker& maker)
{
    const LSoundSource input = MakeSource<MaterialSource>();
    std::vector<int32_t> block(8192 * 2);
    for (auto _ : state) {
        input->Seek(0);
        LSoundSource filter = maker.MakeSource(input);
        for (int32_t done = 0; done < MaterialSource::kFrames; done += 8192)
            filter->Read(block.data(), 8192);
        benchmark::DoNotOptimize(block.data());
    }
    state.counters["x_realtime"] = benchmark::Counter(double(MaterialSource::kFrames) / 44100.0,
                                                      benchmark::Counter::kIsIterationInvariantRate);
}

void BM_Echo(benchmark::State& state) { Drain(state, LEfEchoMaker(50, 800)); }
BENCHMARK(BM_Echo)->Unit(benchmark::kMillisecond);

void BM_Reverb(benchmark::State& state) { Drain(state, LEfReverbMaker(100, 50)); }
BENCHMARK(BM_Reverb)->Unit(benchmark::kMillisecond);

void BM_HighPass(benchmark::State& state) { Drain(state, LEfHighPassMaker(500)); }
BENCHMARK(BM_HighPass)->Unit(benchmark::kMillisecond);

// The 4095-tap FIR with block floating point; its design (2048 x 2048 sums)
// is part of each iteration, as it is of each job.
void BM_Equalizer(benchmark::State& state)
{
    Drain(state, LEfEqMaker::FromCurve(PointList::Of({{0, 128}, {20, 200}, {60, 90}, {255, 140}}), 44100));
}
BENCHMARK(BM_Equalizer)->Unit(benchmark::kMillisecond);

void BM_Compressor(benchmark::State& state)
{
    Drain(state, LEfCompressorMaker(-20, CompressorRatioList::Find(2)->factor, 3));
}
BENCHMARK(BM_Compressor)->Unit(benchmark::kMillisecond);

void BM_NoiseGate(benchmark::State& state) { Drain(state, LEfNoiseGateMaker::FromGateLevel(-30)); }
BENCHMARK(BM_NoiseGate)->Unit(benchmark::kMillisecond);

// Reverse has no batch command: this loads the WAV named by KELVANE_BENCH_WAV
// into the tank, reverses all of it and saves it to KELVANE_BENCH_OUT, as the
// whole-file row against sox reverse needs.
void BM_ReverseWavFile(benchmark::State& state)
{
    const char* path = std::getenv("KELVANE_BENCH_WAV");
    const char* out = std::getenv("KELVANE_BENCH_OUT");
    if (!path || !out) {
        state.SkipWithError("KELVANE_BENCH_WAV or KELVANE_BENCH_OUT not set");
        return;
    }
    for (auto _ : state) {
        LCutListAudio list;
        int32_t r = RunJob("load", [&](LProgressDialog& d) {
            LCutListAudioLoadSource::Data data{"load", &list, LWaveFile::OpenSource(path)};
            return LCutListAudioLoadSource::Process(d, data);
        });
        LEfReverse::Data reverse{&list, 0, list.GetLength()};
        if (r == kJobDone)
            r = RunJob("reverse", [&](LProgressDialog& d) { return LEfReverse::Process(d, reverse); });
        LPRSourceToSink::Data save{"save", list.OpenSource(),
                                   LWaveFile::OpenSinkPCM(out, list.sampleRate, 0, 16, list.channels)};
        if (r == kJobDone)
            r = RunJob("save", [&](LProgressDialog& d) { return LPRSourceToSink::Process(d, save); });
        if (r != kJobDone)
            state.SkipWithError("reverse failed");
    }
}
BENCHMARK(BM_ReverseWavFile)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
