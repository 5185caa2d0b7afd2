// Saving through an encoder program: EncoderSave pumps the WAV named by
// KELVANE_BENCH_WAV into the encoder sink for KELVANE_BENCH_OUT (its extension
// picks the encoder and the stored settings apply), as the save job does, and
// waits for the encoder to finish. bench/rows/encoders.sh times it as a whole
// process against the encoder run directly on the WAV.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "core/LPRSourceToSink.h"
#include "core/LProgressDialog.h"
#include "formats/LGenSink.h"
#include "formats/LPipe16Sink.h"
#include "formats/LWaveFile.h"

namespace {

void BM_EncoderSave(benchmark::State& state)
{
    const char* in = std::getenv("KELVANE_BENCH_WAV");
    const char* out = std::getenv("KELVANE_BENCH_OUT");
    if (!in || !out) {
        state.SkipWithError("set KELVANE_BENCH_WAV and KELVANE_BENCH_OUT");
        return;
    }
    for (auto _ : state) {
        LSoundSource source = LWaveFile::OpenSource(in);
        LSoundSink sink = LGenSinkOpenSink(out, source->GetSampleRate(), source->GetChannels());
        LPipe16Sink* encoder = LPipe16Sink::Of(sink);
        if (source->GetError() != kSrcGood || !encoder || encoder->IsError()) {
            state.SkipWithError("cannot open the input or start the encoder");
            return;
        }
        int32_t result = RunJob("Saving file...", [&](LProgressDialog& job) {
            LPRSourceToSink::Data data{"Saving file...", source, sink};
            int32_t pumped = LPRSourceToSink::Process(job, data);
            int32_t finished = encoder->Finish(job);
            return pumped != kJobDone ? pumped : finished;
        });
        if (result != kJobDone) {
            state.SkipWithError("the encode failed");
            return;
        }
    }
}
BENCHMARK(BM_EncoderSave)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
