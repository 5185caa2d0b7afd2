#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWheelEvent>
#include <QWidget>
#include <cstdlib>
#include <memory>

#include "BenchQtApp.h"
#include "app/LKVCommands.h"
#include "core/LFile.h"
#include "core/LSettings.h"
#include "edit/LAudioCutTank.h"
#include "edit/LKVFile.h"
#include "ui/LKVDocumentWindows.h"
#include "ui/LKVFileWindow.h"
#include "ui/LKVMainWindow.h"
#include "ui/LKVPorts.h"
#include "ui/LKVWaveWindow.h"

// The editor's window on Qt's offscreen platform, against the model alone in
// the same run: the frame's start-up, opening a one-hour stereo WAV until its
// window has drawn it, and edit commands on a ten-hour document with the
// window's updates included.
namespace {

struct Gui {
    std::unique_ptr<LKVPorts> ports;
    Gui()
    {
        BenchQtApp();
        ports = std::make_unique<LKVPorts>();
        // Nothing plays after an edit: the timing is the command and the window.
        LSettings::SetOverride("Settings", "AutoPlaybackAfterEffects", "0");
        LSettings::SetOverride("Settings", "PlayWhenOpen", "0");
    }
};

Gui& TheGui()
{
    static Gui gui;
    return gui;
}

// Without an event loop running, closed windows wait for deleteLater forever and
// keep their document's audio alive: deliver those deletions too.
void Settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

void BM_Gui_StartupToVisibleWindow(benchmark::State& state)
{
    TheGui();
    for (auto _ : state) {
        LKVMainWindow w;
        w.show();
        Settle();
        benchmark::DoNotOptimize(w.isVisible());
        state.PauseTiming();
        w.close();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Gui_StartupToVisibleWindow)->Unit(benchmark::kMillisecond);

// One hour of 44.1 kHz stereo, written once by sox.
const std::string& HourWav()
{
    static const std::string path = [] {
        std::string p = FilePathCat(GetTempFolder(), "kelvane-bench-hour.wav");
        if (!FileExists(p) &&
            std::system(("sox -q -n -r 44100 -c 2 -b 16 '" + p + "' synth 3600 sine 220 sine 330 vol 0.5").c_str()) != 0)
            std::abort();
        return p;
    }();
    return path;
}

void BM_Open1Hour_ModelAlone(benchmark::State& state)
{
    TheGui();
    const std::string& path = HourWav();
    for (auto _ : state) {
        MainDialog model;
        benchmark::DoNotOptimize(model.OpenFile(path));
        state.PauseTiming();
        model.CmCloseAll();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Open1Hour_ModelAlone)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Open1Hour_Window(benchmark::State& state)
{
    TheGui();
    const std::string& path = HourWav();
    LKVMainWindow w;
    w.resize(1280, 800);
    w.show();
    Settle();
    for (auto _ : state) {
        LKVFile* doc = w.Model().OpenFile(path);
        if (!doc)
            std::abort();
        w.DocumentWindows().WindowOf(doc)->WaitUntilDrawn(60000);
        state.PauseTiming();
        w.Model().CmCloseAll();
        Settle();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Open1Hour_Window)->Unit(benchmark::kMillisecond)->Iterations(3);

// Ten hours of stereo as 20 000 cuts of a segment with no file: a command that
// touched audio would read silence, and be slow.
constexpr int32_t kRate = 44100;
constexpr int32_t kHour = kRate * 3600;
constexpr int32_t kCuts = 20000;

struct TenHourEditor {
    LKVMainWindow window;
    LKVFile* doc = nullptr;
    TenHourEditor()
    {
        auto file = std::make_unique<LKVFile>();
        file->audio.sampleRate = kRate;
        file->audio.channels = 2;
        const LSegmentRef segment = LAudioCutTank::Get().GetNewRefAndIncRef();
        const int32_t length = 10 * kHour / kCuts;
        for (int32_t i = 0; i < kCuts; ++i) {
            if (i > 0)
                LAudioCutTank::Get().IncRef(segment);
            file->audio.Add(LCut::Adopt(segment, length, 0x1000000, (i * 7919) % kCuts * length));
        }
        file->pos.viewEnd = file->audio.GetLength();
        doc = &window.Model().AddDocument(std::move(file));
        window.DocumentOpened(*doc);
        window.resize(1280, 800);
        window.show();
        Drawn();
    }
    void Drawn() { window.DocumentWindows().WindowOf(doc)->WaitUntilDrawn(60000); }
};

TenHourEditor& TheEditor()
{
    TheGui();
    static TenHourEditor editor;
    return editor;
}

// `id` on a one-hour selection in the middle, until the window has drawn the
// result; Undo afterwards, outside the timing, when the command changed audio.
void RunOnTenHours(benchmark::State& state, int32_t id, bool undo)
{
    TenHourEditor& e = TheEditor();
    for (auto _ : state) {
        state.PauseTiming();
        e.window.Model().SetSelection(4 * kHour, 5 * kHour, 4 * kHour);
        e.Drawn();
        state.ResumeTiming();
        e.window.RunCommand(id);
        e.Drawn();
        state.PauseTiming();
        if (undo) {
            e.window.RunCommand(kCmUndo);
            e.Drawn();
        }
        state.ResumeTiming();
    }
}

void BM_Gui10h_Cut(benchmark::State& s) { RunOnTenHours(s, kCmCut, true); }
void BM_Gui10h_Paste(benchmark::State& s)
{
    TheEditor().window.Model().SetSelection(0, kHour, 0);
    TheEditor().window.RunCommand(kCmCopy);
    RunOnTenHours(s, kCmPaste, true);
}
void BM_Gui10h_Undo(benchmark::State& state)
{
    TenHourEditor& e = TheEditor();
    for (auto _ : state) {
        state.PauseTiming();
        e.window.Model().SetSelection(4 * kHour, 5 * kHour, 4 * kHour);
        e.window.RunCommand(kCmCut);
        e.Drawn();
        state.ResumeTiming();
        e.window.RunCommand(kCmUndo);
        e.Drawn();
    }
}
// One notch of Ctrl+wheel over the main view (zooming in and out in turn
// around its middle), until the window has drawn the new view: the wave
// thread's columns from the peak files of the 20 000 cuts, ruler and scales.
void BM_Gui10h_WheelZoomStep(benchmark::State& state)
{
    TenHourEditor& e = TheEditor();
    LKVWaveWindow& view = e.window.DocumentWindows().WindowOf(e.doc)->MainWindow();
    e.window.Model().SetSelection(0, 0, 5 * kHour);
    e.window.RunCommand(kCmZoomIn);
    e.Drawn();
    const QPointF at(view.width() / 2, view.height() / 2);
    int notch = 120;
    for (auto _ : state) {
        QWheelEvent event(at, view.mapToGlobal(at), QPoint(), QPoint(0, notch), Qt::NoButton, Qt::ControlModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(&view, &event);
        e.Drawn();
        QApplication::processEvents();
        notch = -notch;
    }
}

BENCHMARK(BM_Gui10h_WheelZoomStep)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Gui10h_Cut)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Gui10h_Undo)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Gui10h_Paste)->Unit(benchmark::kMillisecond);

} // namespace
