// Byte-codec kernels of the raw, AU and AIFF readers and writers, and whole-file
// conversions for bench/rows/formats.sh. The whole-file benchmarks run only when
// KELVANE_BENCH_IN and KELVANE_BENCH_OUT name the files (the format is taken from
// each name's extension); they stand in for kelvane-batch until the format
// dispatcher can open these files by name.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <strings.h>
#include <vector>

#include "core/LFile.h"
#include "core/LSRCPeakLimit.h"
#include "formats/LAifFile.h"
#include "formats/LAuFile.h"
#include "formats/LRawCodec.h"
#include "formats/LRawFile.h"
#include "formats/LWaveFile.h"
#include "formats/gsm/LGSMFile.h"

namespace {

std::vector<int32_t> Signal(int32_t values)
{
    std::vector<int32_t> v(static_cast<size_t>(values));
    uint32_t r = 1;
    for (auto& x : v) {
        r = r * 1664525u + 1013904223u;
        x = int32_t(r >> 13) - 0x40000;
    }
    return v;
}

template <class Codec>
void BM_RawEncode(benchmark::State& state)
{
    std::vector<int32_t> in = Signal(8192 * 2);
    std::vector<uint8_t> out(in.size() * Codec::kBytesPerSample);
    for (auto _ : state) {
        Codec::Encode(out.data(), in.data(), int32_t(in.size()));
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * int64_t(in.size()));
}

template <class Codec>
void BM_RawDecode(benchmark::State& state)
{
    std::vector<int32_t> in = Signal(8192 * 2);
    std::vector<uint8_t> bytes(in.size() * Codec::kBytesPerSample);
    Codec::Encode(bytes.data(), in.data(), int32_t(in.size()));
    std::vector<int32_t> out(in.size());
    for (auto _ : state) {
        Codec::Decode(out.data(), bytes.data(), int32_t(in.size()));
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * int64_t(in.size()));
}

BENCHMARK(BM_RawEncode<LRawMuLaw>);
BENCHMARK(BM_RawDecode<LRawMuLaw>);
BENCHMARK(BM_RawEncode<LRawALaw>);
BENCHMARK(BM_RawDecode<LRawALaw>);
BENCHMARK(BM_RawEncode<LRawPcm16BE>);
BENCHMARK(BM_RawDecode<LRawPcm16BE>);

bool HasExtension(const std::string& path, const char* ext) { return strcasecmp(GetFileExtension(path).c_str(), ext) == 0; }

// Raw files here are 16-bit little-endian unless named ".ulaw".
LSoundSource OpenByName(const std::string& path, int32_t rate, uint8_t channels)
{
    if (HasExtension(path, ".au"))
        return LAuFile::OpenSource(path);
    if (HasExtension(path, ".aif") || HasExtension(path, ".aiff"))
        return LAifFile::OpenSource(path);
    if (HasExtension(path, ".gsm"))
        return LGSMFile::OpenSource(path);
    LRawSettings s;
    s.sampleRate = uint32_t(rate);
    s.channels = channels;
    if (HasExtension(path, ".raw"))
        return LRawFile::OpenSource(path, s);
    if (HasExtension(path, ".ulaw")) {
        s.codec = kRawCodecMuLaw;
        return LRawFile::OpenSource(path, s);
    }
    return LWaveFile::OpenSource(path);
}

LSoundSink CreateByName(const std::string& path, int32_t rate, uint8_t channels)
{
    if (HasExtension(path, ".au"))
        return LAuFile::OpenSink(path, rate, channels);
    if (HasExtension(path, ".aif") || HasExtension(path, ".aiff"))
        return LAifFile::OpenSink(path, rate, channels);
    if (HasExtension(path, ".gsm"))
        return LGSMFile::OpenSink(path);
    LRawSettings s;
    s.sampleRate = uint32_t(rate);
    s.channels = channels;
    if (HasExtension(path, ".raw"))
        return LRawFile::OpenSink(path, s);
    if (HasExtension(path, ".ulaw")) {
        s.codec = kRawCodecMuLaw;
        return LRawFile::OpenSink(path, s);
    }
    return LWaveFile::OpenSinkPCM(path, rate, 0, 16, channels);
}

// One whole-file conversion, pumped in blocks of 8192 frames as the save job does.
// Headerless input takes its rate and channels from KELVANE_BENCH_RATE and
// KELVANE_BENCH_CHANNELS.
void BM_FileConvert(benchmark::State& state)
{
    const char* in = std::getenv("KELVANE_BENCH_IN");
    const char* out = std::getenv("KELVANE_BENCH_OUT");
    if (!in || !out) {
        state.SkipWithError("set KELVANE_BENCH_IN and KELVANE_BENCH_OUT");
        return;
    }
    const char* rateText = std::getenv("KELVANE_BENCH_RATE");
    const char* channelText = std::getenv("KELVANE_BENCH_CHANNELS");
    int32_t rate = rateText ? std::atoi(rateText) : 44100;
    uint8_t channels = uint8_t(channelText ? std::atoi(channelText) : 2);
    for (auto _ : state) {
        LSoundSource src = OpenByName(in, rate, channels);
        LSoundSink sink = CreateByName(out, src->GetSampleRate(), src->GetChannels());
        if (src->GetError() != 0 || !sink || sink->IsError()) {
            state.SkipWithError("cannot open the input or create the output");
            return;
        }
        // As in the save job, a source that can exceed full scale goes through the limiter.
        if (src->GetMaxAmplitude() > 0x7FFF0)
            src = MakeSource<LSRCPeakLimit>(src, 0x7FFF0);
        std::vector<int32_t> block(size_t(8192) * src->GetChannels());
        for (;;) {
            src->Read(block.data(), 8192);
            int32_t over = src->GetPosition() - src->GetLength();
            if (over >= 0) {
                if (over < 8192)
                    sink->Write(block.data(), 8192 - over);
                break;
            }
            sink->Write(block.data(), 8192);
        }
    }
}
BENCHMARK(BM_FileConvert)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
