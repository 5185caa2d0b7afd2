// The sound devices: player CPU, the latency from Start, Seek and Cue to the
// device, and the recorder's work per block. The null device stands in for a
// sound card; the capture file tells when audio reached it.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>
#include <vector>

#include "core/LDispatcher.h"
#include "devices/LChannelLevels.h"
#include "devices/LSoundPlayer.h"
#include "devices/LSoundRecorder.h"

namespace {

// Ten minutes of 44.1 kHz stereo, repeating one second held in memory.
class LoopSource : public LSoundSourceBase {
public:
    explicit LoopSource(int32_t frames) : LSoundSourceBase(44100, 2, 0x7FFF0), length_(frames), table_(44100 * 2)
    {
        for (size_t i = 0; i < table_.size(); ++i)
            table_[i] = int32_t(std::lround(200000 * std::sin(double(i / 2) * 0.0627)));
    }
    void Read(int32_t* out, int32_t frames) override
    {
        for (int32_t f = 0; f < frames; ++f, ++pos_) {
            const size_t at = size_t(((pos_ % 44100) + 44100) % 44100) * 2;
            out[2 * f] = table_[at];
            out[2 * f + 1] = table_[at + 1];
        }
    }
    int32_t GetPosition() override { return pos_; }
    int32_t GetLength() override { return length_; }
    void Seek(int32_t frame) override { pos_ = frame; }

private:
    int32_t length_;
    int32_t pos_ = 0;
    std::vector<int32_t> table_;
};

double CpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void WaitIdle(LSoundPlayer& p)
{
    while (p.GetState() != 0) {
        LUiDispatcher().DrainPending();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// All the player's work for 10 minutes of audio, done as fast as the device
// takes it; the counter is that work as a share of one core over 10 minutes.
void BM_PlayerCpuTenMinutes(benchmark::State& state)
{
    setenv("KELVANE_AUDIO_OUT", "null", 1);
    setenv("KELVANE_AUDIO_CLOCK", "free", 1);
    const int32_t frames = 44100 * 600;
    double cpu = 0;
    for (auto _ : state) {
        LSoundPlayer player;
        const double before = CpuSeconds();
        player.Start(MakeSource<LoopSource>(frames));
        WaitIdle(player);
        cpu = CpuSeconds() - before;
    }
    state.counters["core_percent"] = cpu / 600.0 * 100.0;
}
BENCHMARK(BM_PlayerCpuTenMinutes)->Unit(benchmark::kMillisecond)->Iterations(1);

off_t SizeOf(const std::string& path)
{
    struct stat st{};
    return stat(path.c_str(), &st) == 0 ? st.st_size : 0;
}

// Milliseconds until the real-time capture device has taken audio after `act`.
template <class Act>
double UntilHeard(const std::string& capture, Act act)
{
    const off_t before = SizeOf(capture);
    const auto t0 = std::chrono::steady_clock::now();
    act();
    while (SizeOf(capture) == before)
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

std::string CapturePath()
{
    const char* tmp = std::getenv("TMPDIR");
    return std::string(tmp ? tmp : "/tmp") + "/kelvane-bench-capture.wav";
}

// mode 0: Play to the first buffer; 1: Seek; 2: Cue.
void BM_PlayerLatency(benchmark::State& state)
{
    const std::string capture = CapturePath();
    setenv("KELVANE_AUDIO_OUT", ("capture:" + capture).c_str(), 1);
    unsetenv("KELVANE_AUDIO_CLOCK");
    for (auto _ : state) {
        LSoundPlayer player;
        double ms = 0;
        if (state.range(0) == 0) {
            ms = UntilHeard(capture, [&] { player.Start(MakeSource<LoopSource>(44100 * 60)); });
        } else {
            player.Start(MakeSource<LoopSource>(44100 * 60));
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            if (state.range(0) == 1)
                ms = UntilHeard(capture, [&] { player.Seek(44100 * 30); });
            else
                ms = UntilHeard(capture, [&] { player.Cue(); });
        }
        state.SetIterationTime(ms / 1000.0);
        player.Stop();
    }
    std::remove(capture.c_str());
}
BENCHMARK(BM_PlayerLatency)->Arg(0)->Arg(1)->Arg(2)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

// One recorder block of 100 ms of 44.1 kHz stereo: DC removal and peak levels.
void BM_RecorderBlock(benchmark::State& state)
{
    std::vector<int32_t> block(4410 * 2);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = int32_t(std::lround(300000 * std::sin(double(i) * 0.01))) + 5000;
    int64_t dc[2] = {0, 0};
    LChannelLevels levels;
    for (auto _ : state) {
        LSoundRecorder::RemoveDc(block.data(), 4410, 2, LSoundRecorder::DcFactor(44100), dc);
        LPeakLevels(block.data(), 4410, 2, levels);
        benchmark::DoNotOptimize(levels);
    }
}
BENCHMARK(BM_RecorderBlock)->Unit(benchmark::kMicrosecond);

} // namespace
