#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "effects/LEfChangeSpeedPitch.h"
#include "effects/LSRCTimeStretch.h"

namespace {

// Ten seconds of a 44.1 kHz stereo chord held in memory, so the kernels are
// timed without file reads.
class ChordSource : public LSoundSourceBase {
public:
    ChordSource() : LSoundSourceBase(44100, 2, 0x7FFF0)
    {
        values_.resize(size_t(kFrames) * 2);
        for (int32_t i = 0; i < kFrames; ++i) {
            const double t = double(i) / 44100.0;
            const int32_t v = int32_t(150000 * std::sin(2 * M_PI * 440 * t) + 100000 * std::sin(2 * M_PI * 660 * t));
            values_[size_t(i) * 2] = v;
            values_[size_t(i) * 2 + 1] = v / 2;
        }
    }
    void Read(int32_t* buffer, int32_t frames) override
    {
        for (int32_t f = 0; f < frames; ++f, ++position_)
            for (int c = 0; c < 2; ++c)
                *buffer++ = position_ >= 0 && position_ < kFrames ? values_[size_t(position_) * 2 + size_t(c)] : 0;
    }
    int32_t GetPosition() override { return position_; }
    int32_t GetLength() override { return kFrames; }
    void Seek(int32_t frame) override { position_ = frame; }

    static constexpr int32_t kFrames = 441000;

private:
    std::vector<int32_t> values_;
    int32_t position_ = 0;
};

void Drain(benchmark::State& state, const LSoundSource& source)
{
    std::vector<int32_t> block(8192 * 2);
    int64_t frames = 0;
    while (source->GetPosition() < source->GetLength()) {
        source->Read(block.data(), 8192);
        frames += 8192;
    }
    benchmark::DoNotOptimize(block.data());
    state.counters["out_frames_per_s"] = benchmark::Counter(double(frames), benchmark::Counter::kIsIterationInvariantRate);
}

void BM_TimeStretch150(benchmark::State& state)
{
    for (auto _ : state)
        Drain(state, MakeSource<LSRCTimeStretch>(MakeSource<ChordSource>(), 1.5, 1.0, 0));
}
BENCHMARK(BM_TimeStretch150)->Unit(benchmark::kMillisecond);

// The same without grain alignment: what the search costs.
void BM_TimeStretch150Plain(benchmark::State& state)
{
    for (auto _ : state)
        Drain(state, MakeSource<LSRCTimeStretch>(MakeSource<ChordSource>(), 1.5, 1.0, 0,
                                                 LSRCTimeStretch::Positions::Output, false));
}
BENCHMARK(BM_TimeStretch150Plain)->Unit(benchmark::kMillisecond);

void BM_SpeedPitchMode(benchmark::State& state)
{
    const int32_t mode = int32_t(state.range(0));
    const int32_t percent = mode == 2 ? 200 : 150;
    for (auto _ : state)
        Drain(state, LEfChangeSpeedPitch::MakeMaker(mode, percent)->MakeSource(MakeSource<ChordSource>()));
}
BENCHMARK(BM_SpeedPitchMode)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

} // namespace
