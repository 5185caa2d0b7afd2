#include <benchmark/benchmark.h>

#include <cmath>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

#include "display/LKVWaveColumns.h"
#include "display/LKVWaveModel.h"
#include "display/LSpectrogramColumns.h"
#include "display/LSpectrum.h"
#include "edit/LCutListAudio.h"

// Wave columns of a ten-hour 44.1 kHz stereo document, as a few long cuts and as
// 20 000 short ones with assorted gains and silences, both over one ten-hour
// segment. The segment's peak file covers all ten hours (generated directly as
// a shaped envelope, since ten hours of audio would be 12.7 GB); its audio file
// is sparse except for the real audio of the stretch the close views read,
// whose peak entries are computed from that audio. Files are in the page cache,
// as for a document being looked at.
namespace {

constexpr int32_t kRate = 44100;
constexpr int32_t kFrames = 10 * 3600 * kRate;
constexpr int32_t kAudioFrom = kFrames / 2;  // a multiple of 256
constexpr int32_t kAudioFrames = 8 << 20;
constexpr int32_t kColumns = 2048;

struct Document {
    LCutListAudio longCuts;
    LCutListAudio shortCuts;
};

int32_t Music(int64_t f, int32_t channel)
{
    double t = double(f) / kRate;
    double env = 0.5 + 0.45 * std::sin(t * 0.7 + channel);
    return int32_t(0x7FFF0 * env * (0.6 * std::sin(t * 2 * M_PI * 220) + 0.3 * std::sin(t * 2 * M_PI * 1330 + channel)));
}

LSegmentRef WriteSegment()
{
    LAudioCutTank& tank = LAudioCutTank::Get();
    LSegmentRef ref = tank.GetNewRefAndIncRef();
    const int64_t entries = (int64_t(kFrames) + 255) / 256;
    std::vector<uint8_t> peaks(size_t(entries * 4));
    uint32_t noise = 12345;
    for (int64_t e = 0; e < entries; ++e) {
        double env = 120 + 100 * std::sin(double(e) * 0.0003) * std::sin(double(e) * 0.00001);
        for (int b = 0; b < 4; ++b) {
            noise = noise * 1664525u + 1013904223u;
            peaks[size_t(e * 4 + b)] = uint8_t(std::clamp(env * (0.7 + 0.3 * double(noise >> 24) / 255), 0.0, 255.0));
        }
    }
    std::vector<int32_t> audio(size_t(kAudioFrames) * 2);
    for (int32_t f = 0; f < kAudioFrames; ++f)
        for (int32_t c = 0; c < 2; ++c)
            audio[size_t(2 * f + c)] = Music(int64_t(kAudioFrom) + f, c);
    for (int32_t block = 0; block < kAudioFrames / 256; ++block) {
        for (int32_t c = 0; c < 2; ++c) {
            int32_t hi = 0, lo = 0;
            for (int32_t i = 0; i < 256; ++i) {
                int32_t v = audio[size_t(2 * (block * 256 + i) + c)];
                hi = std::max(hi, v);
                lo = std::min(lo, v);
            }
            size_t at = size_t((kAudioFrom / 256 + block) * 4 + c * 2);
            peaks[at] = uint8_t(std::min(255, hi >> 11));
            peaks[at + 1] = uint8_t(std::min(255, (-lo) >> 11));
        }
    }
    int fd = ::open(tank.GetGrfFilePath(ref).c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
    bool ok = fd >= 0 && ::write(fd, peaks.data(), peaks.size()) == ssize_t(peaks.size());
    ::close(fd);
    fd = ::open(tank.GetAudFilePath(ref).c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
    ok = ok && fd >= 0 && ::ftruncate(fd, int64_t(kFrames) * 8) == 0;
    ok = ok && ::pwrite(fd, audio.data(), audio.size() * 4, int64_t(kAudioFrom) * 8) == ssize_t(audio.size() * 4);
    ::close(fd);
    if (!ok)
        std::abort();
    return ref;
}

const Document& TenHours()
{
    static Document doc = [] {
        Document d;
        LSegmentRef ref = WriteSegment();
        LAudioCutTank& tank = LAudioCutTank::Get();
        for (LCutListAudio* l : {&d.longCuts, &d.shortCuts}) {
            l->sampleRate = kRate;
            l->channels = 2;
        }
        const int32_t gains[4] = {0x1000000, 0xC00000, 0x1400000, 0x1000000};
        for (int32_t i = 0; i < 4; ++i) {
            tank.IncRef(ref);
            d.longCuts.Add(LCut::Adopt(ref, kFrames / 4, gains[i], i * (kFrames / 4)));
        }
        // Contiguous cuts with unaligned boundaries; every third at half gain,
        // every hundredth silent.
        constexpr int32_t kCuts = 20000;
        int32_t at = 0;
        for (int32_t i = 0; i < kCuts; ++i) {
            int32_t next = i + 1 == kCuts ? kFrames : int32_t(int64_t(kFrames) * (i + 1) / kCuts + (i * 97) % 200);
            if (i % 100 == 99) {
                d.shortCuts.Add(LCut::Silence(next - at));
            } else {
                tank.IncRef(ref);
                d.shortCuts.Add(LCut::Adopt(ref, next - at, i % 3 == 0 ? 0x800000 : 0x1000000, at));
            }
            at = next;
        }
        tank.DecRef(ref);
        return d;
    }();
    return doc;
}

const LCutListAudio& ListFor(const benchmark::State& state)
{
    return state.range(0) ? TenHours().shortCuts : TenHours().longCuts;
}

LWaveMapping MapOf(int32_t start, int32_t length)
{
    LWaveMapping m;
    m.SetWidth(kColumns);
    m.Apply(start, length);
    return m;
}

void Label(benchmark::State& state) { state.SetLabel(state.range(0) ? "20000 cuts" : "4 cuts"); }

// Every column of the whole document, from the peak files.
void BM_Wave_WholeDocumentFromPeaks(benchmark::State& state)
{
    LKVWaveColumns columns(ListFor(state));
    LWaveMapping map = MapOf(0, kFrames);
    uint8_t upper[kColumns], lower[kColumns];
    for (auto _ : state) {
        columns.Compute(map, 0, kColumns, kWaveModePosNeg, false, upper, lower, nullptr);
        benchmark::DoNotOptimize(upper);
    }
    Label(state);
}

// What an edit costs before the picture is back: copying the list, opening its
// source and peak files, and the first whole-document recompute.
void BM_Wave_RestartAndWholeDocument(benchmark::State& state)
{
    LWaveMapping map = MapOf(0, kFrames);
    uint8_t upper[kColumns], lower[kColumns];
    for (auto _ : state) {
        LKVWaveColumns columns(ListFor(state));
        columns.Compute(map, 0, kColumns, kWaveModePosNeg, false, upper, lower, nullptr);
        benchmark::DoNotOptimize(upper);
    }
    Label(state);
}

// Every column at 256 frames per column (the widest view drawn from the audio).
void BM_Wave_FullViewFromAudio(benchmark::State& state)
{
    LKVWaveColumns columns(ListFor(state));
    LWaveMapping map = MapOf(kAudioFrom, kColumns * kWaveAudioFramesPerColumn);
    uint8_t upper[kColumns], lower[kColumns];
    for (auto _ : state) {
        columns.Compute(map, 0, kColumns, int32_t(state.range(1)), false, upper, lower, nullptr);
        benchmark::DoNotOptimize(upper);
    }
    state.SetLabel(std::string(state.range(0) ? "20000 cuts" : "4 cuts") + (state.range(1) ? ", left/right" : ", +/-"));
}

// Scrolling by a tenth of the view, ten steps forward then ten back, through
// the same apply-and-compute step the wave thread runs: the picture moves and
// only the exposed columns are computed.
void BM_Wave_Scroll10Percent(benchmark::State& state)
{
    static const int32_t kLengths[5] = {kFrames / 2, 3600 * kRate, 60 * kRate, kColumns * 256, kColumns * 16};
    static const char* kNames[5] = {"5 h", "1 h", "1 min", "256 frames/column", "16 frames/column"};
    const int32_t length = kLengths[state.range(1)];
    const int32_t origin = state.range(1) == 0 ? kFrames / 4 : kAudioFrom;
    LKVWaveModel view;
    view.SetSize(kColumns + 2, 400);
    view.Start(ListFor(state), kWaveModePosNeg, false);
    view.Process(origin, length);
    int32_t step = 0;
    int64_t columns = 0;
    for (auto _ : state) {
        step = (step + 1) % 20;
        int32_t k = step <= 10 ? step : 20 - step;
        LWaveApply a = view.Process(origin + k * (length / 10), length);
        columns += a.to - a.from;
    }
    state.counters["columns"] = benchmark::Counter(double(columns) / double(state.iterations()));
    state.SetLabel(std::string(state.range(0) ? "20000 cuts, " : "4 cuts, ") + kNames[state.range(1)]);
}

// The same scroll through the wave thread itself: from the request on the
// window's side until its columns are ready, thread hand-over included. The
// thread runs at the lowest priority, so a busy machine shows here first.
void BM_Wave_Scroll10PercentThroughThread(benchmark::State& state)
{
    const int32_t length = state.range(1) ? 60 * kRate : kFrames / 2;
    const int32_t origin = state.range(1) ? kAudioFrom : kFrames / 4;
    LKVWaveModel view;
    view.SetSize(kColumns + 2, 400);
    view.Start(ListFor(state), kWaveModePosNeg, false);
    view.SetView(origin, length);
    view.WaitIdle(60000);
    int32_t step = 0;
    for (auto _ : state) {
        step = (step + 1) % 20;
        int32_t k = step <= 10 ? step : 20 - step;
        view.SetView(origin + k * (length / 10), length);
        view.WaitIdle(60000);
    }
    state.SetLabel(std::string(state.range(0) ? "20000 cuts, " : "4 cuts, ") + (state.range(1) ? "1 min" : "5 h"));
}

// The spectrum at a cursor, as the frequency window asks for it on every move.
void BM_Spectrum_AtCursor(benchmark::State& state)
{
    const LCutListAudio& list = ListFor(state);
    for (auto _ : state)
        benchmark::DoNotOptimize(ComputeSpectrum(list, kAudioFrom + 1000));
    Label(state);
}

// The spectrogram of a 1920-pixel view: the first picture (every column
// computed, nothing cached) of the whole ten hours, an hour and a minute; then a
// scroll by a tenth of the view through the wave thread's apply-and-compute
// step, always forward so that no column comes from the cache.
constexpr int32_t kScreenColumns = 1920;
const int32_t kSpectrogramViews[3] = {kFrames, 3600 * kRate, 60 * kRate};
const char* kSpectrogramViewNames[3] = {"10 h", "1 h", "1 min"};

void SpectrogramLabel(benchmark::State& state)
{
    state.SetLabel(std::string(kSpectrogramViewNames[state.range(0)]) + ", FFT " + std::to_string(state.range(1)));
}

void BM_Spectrogram_FirstPicture(benchmark::State& state)
{
    const int32_t length = kSpectrogramViews[state.range(0)];
    const int32_t start = state.range(0) == 0 ? 0 : kAudioFrom;
    LWaveMapping map;
    map.SetWidth(kScreenColumns);
    map.Apply(start, length);
    std::vector<std::shared_ptr<const LSpectrogramColumn>> out(kScreenColumns);
    TenHours();
    for (auto _ : state) {
        LSpectrogramColumns columns(TenHours().longCuts, int32_t(state.range(1)));
        columns.Compute(map, 0, kScreenColumns, out.data(), nullptr);
        benchmark::DoNotOptimize(out.data());
    }
    SpectrogramLabel(state);
}

void BM_Spectrogram_Scroll10Percent(benchmark::State& state)
{
    const int32_t length = kSpectrogramViews[state.range(0)];
    const int32_t origin = state.range(0) == 1 ? kFrames / 4 : kAudioFrom;
    std::unique_ptr<LKVWaveModel> view;
    int32_t step = 60;
    int64_t columns = 0;
    for (auto _ : state) {
        // Sixty steps forward from a fresh view with nothing cached, then again.
        if (step == 60) {
            state.PauseTiming();
            view = std::make_unique<LKVWaveModel>();
            view->SetSize(kScreenColumns + 2, 400);
            view->SetSpectrogramOptions(int32_t(state.range(1)), true);
            view->Start(TenHours().longCuts, kWaveModeSpectrogram, false);
            view->Process(origin, length);
            step = 0;
            state.ResumeTiming();
        }
        ++step;
        LWaveApply a = view->Process(origin + step * (length / 10), length);
        columns += a.to - a.from;
    }
    state.counters["columns"] = benchmark::Counter(double(columns) / double(state.iterations()));
    SpectrogramLabel(state);
}

BENCHMARK(BM_Spectrogram_FirstPicture)
    ->ArgsProduct({{0, 1, 2}, {512, 2048, 8192}})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_Spectrogram_Scroll10Percent)
    ->ArgsProduct({{1, 2}, {512, 2048, 8192}})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_Wave_WholeDocumentFromPeaks)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Wave_RestartAndWholeDocument)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Wave_FullViewFromAudio)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Wave_Scroll10Percent)->ArgsProduct({{0, 1}, {0, 1, 2, 3, 4}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Wave_Scroll10PercentThroughThread)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Spectrum_AtCursor)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
