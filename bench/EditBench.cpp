#include <benchmark/benchmark.h>

#include <cstdlib>

#include "core/LPRSourceToSink.h"
#include "edit/LCutListAudioLoadSource.h"
#include "edit/LCutListAudio.h"
#include "formats/LWaveFile.h"

namespace {

constexpr int32_t kCuts = 100000;

// A list of 100 000 cuts over one segment, alternating with silence.
const LCutListAudio& ManyCuts()
{
    static LCutListAudio list = [] {
        LCutListAudio l;
        {
            std::vector<int32_t> v(kCuts * 10, 1000);
            LSoundSink sink = l.OpenSink(44100, 1);
            sink->Write(v.data(), int32_t(v.size()));
        }
        for (int32_t i = 1; i < kCuts; i += 2)
            l.EfInsertSilence(i * 10, 5);
        return l;
    }();
    return list;
}

template <class Op>
void RunOp(benchmark::State& state, Op op)
{
    const LCutListAudio& base = ManyCuts();
    for (auto _ : state) {
        state.PauseTiming();
        LCutListAudio list = base;
        state.ResumeTiming();
        op(list);
        benchmark::DoNotOptimize(list.Cuts().data());
    }
    state.counters["cuts"] = double(base.Cuts().size());
}

const int32_t kMid = kCuts * 7;

void BM_CutList_Copy(benchmark::State& s)
{
    const LCutListAudio& base = ManyCuts();
    for (auto _ : s) {
        LCutListAudio copy = base;
        benchmark::DoNotOptimize(copy.Cuts().data());
    }
}
void BM_CutList_EfDelete(benchmark::State& s) { RunOp(s, [](LCutListAudio& l) { l.EfDelete(kMid, kMid + 100000); }); }
void BM_CutList_EfDeleteHalf(benchmark::State& s) { RunOp(s, [](LCutListAudio& l) { l.EfDelete(0, kMid); }); }
void BM_CutList_EfInsertSilence(benchmark::State& s) { RunOp(s, [](LCutListAudio& l) { l.EfInsertSilence(kMid + 3, 100); }); }
void BM_CutList_EfInsertSelf(benchmark::State& s) { RunOp(s, [](LCutListAudio& l) { l.EfInsert(kMid + 3, l); }); }
void BM_CutList_EfCopy(benchmark::State& s)
{
    RunOp(s, [](LCutListAudio& l) {
        LCutListAudio clip;
        l.EfCopy(kMid, kMid + 100000, clip);
    });
}
void BM_CutList_EfAmplify(benchmark::State& s) { RunOp(s, [](LCutListAudio& l) { l.EfAmplify(kMid, kMid + 100000, 150); }); }
void BM_CutList_EfAmplifyAll(benchmark::State& s) { RunOp(s, [](LCutListAudio& l) { l.EfAmplifyAll(150); }); }
void BM_CutList_EfSilence(benchmark::State& s) { RunOp(s, [](LCutListAudio& l) { l.EfSilence(kMid, kMid + 100000); }); }
void BM_CutList_EfTrim(benchmark::State& s) { RunOp(s, [](LCutListAudio& l) { l.EfTrim(1000, kMid); }); }
void BM_CutList_EfRepeat(benchmark::State& s) { RunOp(s, [](LCutListAudio& l) { l.EfRepeat(kMid, kMid + 1000, 3); }); }
void BM_CutList_OpenSource(benchmark::State& s) { RunOp(s, [](LCutListAudio& l) { benchmark::DoNotOptimize(l.OpenSource()); }); }

BENCHMARK(BM_CutList_Copy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CutList_EfDelete)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CutList_EfDeleteHalf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CutList_EfInsertSilence)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CutList_EfInsertSelf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CutList_EfCopy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CutList_EfAmplify)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CutList_EfAmplifyAll)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CutList_EfSilence)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CutList_EfTrim)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CutList_EfRepeat)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CutList_OpenSource)->Unit(benchmark::kMillisecond);

// Loading a WAV named by KELVANE_BENCH_WAV into the tank, and saving it back.
void BM_TankLoadWav(benchmark::State& state)
{
    const char* path = std::getenv("KELVANE_BENCH_WAV");
    if (!path) {
        state.SkipWithError("KELVANE_BENCH_WAV not set");
        return;
    }
    for (auto _ : state) {
        LCutListAudio list;
        int32_t r = RunJob("load", [&](LProgressDialog& d) {
            LCutListAudioLoadSource::Data data{"load", &list, LWaveFile::OpenSource(path)};
            return LCutListAudioLoadSource::Process(d, data);
        });
        if (r != kJobDone)
            state.SkipWithError("load failed");
        state.PauseTiming();
        std::string out = std::string(path) + ".saved.wav";
        state.ResumeTiming();
    }
}
BENCHMARK(BM_TankLoadWav)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_TankSaveWav(benchmark::State& state)
{
    const char* path = std::getenv("KELVANE_BENCH_WAV");
    if (!path) {
        state.SkipWithError("KELVANE_BENCH_WAV not set");
        return;
    }
    LCutListAudio list;
    RunJob("load", [&](LProgressDialog& d) {
        LCutListAudioLoadSource::Data data{"load", &list, LWaveFile::OpenSource(path)};
        return LCutListAudioLoadSource::Process(d, data);
    });
    std::string out = std::string(path) + ".saved.wav";
    for (auto _ : state) {
        LPRSourceToSink::Data data{"save", list.OpenSource(), LWaveFile::OpenSinkPCM(out, list.sampleRate, 0, 16, list.channels)};
        RunJob("save", [&](LProgressDialog& d) { return LPRSourceToSink::Process(d, data); });
        data.sink.Reset();
    }
    std::remove(out.c_str());
}
BENCHMARK(BM_TankSaveWav)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
