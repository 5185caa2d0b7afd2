// GSM 06.10 kernels: coding and decoding of 160-sample frames of speech-like input.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "formats/gsm/LGSMFrame.h"

namespace {

// A voiced, slowly changing signal on the stream scale: pitch pulses through a resonance.
std::vector<int32_t> Speechy(int32_t frames)
{
    std::vector<int32_t> v(size_t(frames) * LGSMFrame::kSamples);
    double y1 = 0.0;
    double y2 = 0.0;
    for (size_t n = 0; n < v.size(); ++n) {
        double x = (n % 61 == 0) ? 4000.0 : 0.0;
        double f = 0.35 + 0.2 * std::sin(double(n) * 0.0007);
        double y = x + 1.9 * std::cos(f) * y1 - 0.95 * y2;
        y2 = y1;
        y1 = y;
        v[n] = int32_t(std::lround(std::max(-30000.0, std::min(30000.0, y)))) * 16;
    }
    return v;
}

void BM_GsmEncodeFrame(benchmark::State& state)
{
    const int32_t frames = 500;
    std::vector<int32_t> in = Speechy(frames);
    std::vector<uint8_t> out(size_t(frames) * LGSMFrame::kBytes);
    LGSMFrame codec;
    for (auto _ : state) {
        for (int32_t f = 0; f < frames; ++f)
            codec.EncodeNormal(in.data() + f * LGSMFrame::kSamples, out.data() + f * LGSMFrame::kBytes);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * frames * LGSMFrame::kSamples);
}
BENCHMARK(BM_GsmEncodeFrame);

void BM_GsmDecodeFrame(benchmark::State& state)
{
    const int32_t frames = 500;
    std::vector<int32_t> in = Speechy(frames);
    std::vector<uint8_t> coded(size_t(frames) * LGSMFrame::kBytes);
    LGSMFrame encoder;
    for (int32_t f = 0; f < frames; ++f)
        encoder.EncodeNormal(in.data() + f * LGSMFrame::kSamples, coded.data() + f * LGSMFrame::kBytes);
    std::vector<int32_t> out(in.size());
    LGSMFrame codec;
    for (auto _ : state) {
        for (int32_t f = 0; f < frames; ++f)
            codec.DecodeNormal(coded.data() + f * LGSMFrame::kBytes, out.data() + f * LGSMFrame::kSamples);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * frames * LGSMFrame::kSamples);
}
BENCHMARK(BM_GsmDecodeFrame);

} // namespace
