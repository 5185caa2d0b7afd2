// From pressing Preview in an effect dialog to the first audio reaching the
// real-time capture device, for every dialog with a preview, over a minute of
// 44.1 kHz stereo; and the part of it the button press holds the window for.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <sys/stat.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <thread>

#include "BenchQtApp.h"
#include "effects/CompressorRatioList.h"
#include "effects/PointList.h"
#include "ui/LKVCompressorDlg.h"
#include "ui/LKVEchoDlg.h"
#include "ui/LKVEqualizerDlg.h"
#include "ui/LKVHighPassDlg.h"
#include "ui/LKVReverbDlg.h"
#include "ui/LKVSpeedChangeDlg.h"

namespace {

void Qt() { BenchQtApp(); }

const LCutListAudio& Minute()
{
    static const LCutListAudio audio = [] {
        LCutListAudio a;
        std::vector<int32_t> v(size_t(44100) * 2 * 60);
        for (size_t i = 0; i < v.size(); ++i)
            v[i] = int32_t(200000 * std::sin(double(i / 2) * 0.0627) + 50000 * std::sin(double(i / 2) * 0.71));
        LSoundSink sink = a.OpenSink(44100, 2);
        for (size_t at = 0; at < v.size(); at += 2 * 8192)
            sink->Write(v.data() + at, int32_t(std::min<size_t>(8192, (v.size() - at) / 2)));
        return a;
    }();
    return audio;
}

off_t SizeOf(const std::string& path)
{
    struct stat st{};
    return stat(path.c_str(), &st) == 0 ? st.st_size : 0;
}

std::unique_ptr<LKVPreviewDialog> Dialog(int64_t which)
{
    switch (which) {
    case 0: return std::make_unique<LKVEchoDlg>(800, 50);
    case 1: return std::make_unique<LKVReverbDlg>(100, 50);
    case 2: return std::make_unique<LKVHighPassDlg>(250);
    case 3: return std::make_unique<LKVSpeedChangeDlg>(QStringLiteral("Simple Speed and Pitch Change"), 150);
    case 4: return std::make_unique<LKVSpeedChangeDlg>(QStringLiteral("Constant Pitch and Speed Change"), 150);
    case 5: return std::make_unique<LKVSpeedChangeDlg>(QStringLiteral("Constant Speed and Pitch Change"), 150);
    case 6: {
        std::vector<std::string> names;
        for (int32_t i = 0; i < CompressorRatioList::kCount; ++i)
            names.push_back(CompressorRatioList::Find(i)->name);
        return std::make_unique<LKVCompressorDlg>(names, -20, 2, 3);
    }
    default:
        return std::make_unique<LKVEqualizerDlg>(
            PointList::Of({{0, 180}, {12, 170}, {40, 128}, {120, 110}, {200, 150}, {255, 128}}).ToUi());
    }
}

// range(0): 0 echo, 1 reverb, 2 high-pass, 3..5 the speed modes, 6 compressor, 7 equalizer.
void BM_PreviewToFirstBuffer(benchmark::State& state)
{
    Qt();
    const char* tmp = std::getenv("TMPDIR");
    const std::string capture = std::string(tmp ? tmp : "/tmp") + "/kelvane-bench-preview.wav";
    setenv("KELVANE_AUDIO_OUT", ("capture:" + capture).c_str(), 1);
    unsetenv("KELVANE_AUDIO_CLOCK");
    LKVPreviewDialog::SetDocumentAudio([] { return &Minute(); });
    std::unique_ptr<LKVPreviewDialog> dialog = Dialog(state.range(0));
    double heard = 0, press = 0;
    for (auto _ : state) {
        const off_t before = SizeOf(capture);
        const auto t0 = std::chrono::steady_clock::now();
        dialog->CmPreview();
        const auto t1 = std::chrono::steady_clock::now();
        while (SizeOf(capture) == before)
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        const auto t2 = std::chrono::steady_clock::now();
        dialog->CmPreview();
        press += std::chrono::duration<double, std::milli>(t1 - t0).count();
        heard += std::chrono::duration<double, std::milli>(t2 - t0).count();
    }
    state.counters["first_buffer_ms"] = heard / double(state.iterations());
    state.counters["press_ms"] = press / double(state.iterations());
    dialog.reset();
    LKVPreviewDialog::SetDocumentAudio({});
}
BENCHMARK(BM_PreviewToFirstBuffer)->DenseRange(0, 7)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
