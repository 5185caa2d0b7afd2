#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "core/LSRCConvertRate.h"
#include "core/LSRCPeakLimit.h"
#include "core/LSinkConvertRate.h"

namespace {

// An endless sine source, so kernels are measured without file I/O.
class SineSource : public LSoundSourceBase {
public:
    SineSource(int32_t rate, uint8_t channels, double amp) : LSoundSourceBase(rate, channels, uint32_t(amp) + 1), amp_(amp) {}
    void Read(int32_t* buffer, int32_t frames) override
    {
        for (int32_t f = 0; f < frames; ++f, ++position_) {
            int32_t v = int32_t(amp_ * std::sin(0.05 * position_));
            for (int32_t c = 0; c < GetChannels(); ++c)
                buffer[f * GetChannels() + c] = v;
        }
    }
    int32_t GetPosition() override { return position_; }
    int32_t GetLength() override { return INT32_MAX; }
    void Seek(int32_t frame) override { position_ = frame; }

private:
    double amp_;
    int32_t position_ = 0;
};

void BM_Resample44100To48000Stereo(benchmark::State& state)
{
    LSoundSource src = MakeSource<LSRCConvertRate>(MakeSource<SineSource>(44100, 2, 500000.0), 48000, false);
    std::vector<int32_t> block(8192 * 2);
    for (auto _ : state) {
        src->Read(block.data(), 8192);
        benchmark::DoNotOptimize(block.data());
    }
    state.SetItemsProcessed(state.iterations() * 8192);
}
BENCHMARK(BM_Resample44100To48000Stereo);

void BM_PeakLimitLoudStereo(benchmark::State& state)
{
    LSoundSource src = MakeSource<LSRCPeakLimit>(MakeSource<SineSource>(44100, 2, 1500000.0), 0x7FFF0);
    std::vector<int32_t> block(8192 * 2);
    for (auto _ : state) {
        src->Read(block.data(), 8192);
        benchmark::DoNotOptimize(block.data());
    }
    state.SetItemsProcessed(state.iterations() * 8192);
}
BENCHMARK(BM_PeakLimitLoudStereo);

} // namespace
