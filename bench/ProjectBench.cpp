#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "app/LKVProject.h"
#include "app/MainDialog.h"
#include "core/LProgressDialog.h"
#include "core/LSettings.h"
#include "edit/LAudioCutTank.h"
#include "edit/LCutListAudioLoadSource.h"
#include "formats/LWaveFile.h"

namespace {

// Project save and load of the audio in KELVANE_BENCH_WAV (one document). The
// project goes to KELVANE_BENCH_KVP, else beside the WAV file; the load reads
// what the save wrote, so run both.
std::string ProjectPath(const char* wav)
{
    const char* kvp = std::getenv("KELVANE_BENCH_KVP");
    return kvp ? std::string(kvp) : std::string(wav) + ".kvp";
}

void BM_ProjectSave(benchmark::State& state)
{
    const char* wav = std::getenv("KELVANE_BENCH_WAV");
    if (!wav) {
        state.SkipWithError("KELVANE_BENCH_WAV not set");
        return;
    }
    LKVFile doc;
    doc.path = wav;
    RunJob("load", [&](LProgressDialog& d) {
        LCutListAudioLoadSource::Data data{"load", &doc.audio, LWaveFile::OpenSource(wav)};
        return LCutListAudioLoadSource::Process(d, data);
    });
    const LKVBookMarkList bookmarks;
    const LKVRegionList regions;
    LKVProject::SaveData data{{&doc}, &doc, &bookmarks, &regions, ProjectPath(wav)};
    // The editor's segments were written long before a save; flushing them
    // keeps their writeback out of the save's time.
    ::sync();
    for (auto _ : state)
        if (RunJob("Saving Project", [&](LProgressDialog& d) { return LKVProject::Save(d, data); }) != kJobDone)
            state.SkipWithError("save failed");
    state.counters["frames"] = doc.audio.GetLength();
}
BENCHMARK(BM_ProjectSave)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_ProjectLoad(benchmark::State& state)
{
    const char* wav = std::getenv("KELVANE_BENCH_WAV");
    if (!wav) {
        state.SkipWithError("KELVANE_BENCH_WAV not set");
        return;
    }
    const std::string path = ProjectPath(wav);
    ::sync();
    for (auto _ : state) {
        LKVProjectContents contents;
        if (RunJob("Loading Project", [&](LProgressDialog& d) { return LKVProject::Load(d, path, contents); }) !=
            kJobDone)
            state.SkipWithError("load failed");
        state.PauseTiming();
        contents = LKVProjectContents();  // deleting the segment files is not part of the load
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ProjectLoad)->Unit(benchmark::kMillisecond)->Iterations(1);

// The main window's commands on a 10-hour stereo document of 20 000 cuts. The
// segment has no file: the commands must not touch audio, and this proves it.
class NullPlayer : public LPlayerPort {
public:
    void Stop() override {}
    bool Start(LSoundSource, int32_t) override { return true; }
};

class NamingUi : public LUi {
public:
    LUiAnswer MessageBox(const LUiMessage&) override { return LUiAnswer::Yes; }
    bool TextDialog(const std::string&, std::string& text) override
    {
        text = "bench " + std::to_string(++count_);
        return true;
    }

private:
    int count_ = 0;
};

constexpr int32_t kRate = 44100;
constexpr int32_t kTenHours = kRate * 36000;
constexpr int32_t kCuts = 20000;
constexpr int32_t kHour = kRate * 3600;

struct Editor {
    NullPlayer player;
    NamingUi ui;
    MainDialog main{&player};
    LKVFile* doc = nullptr;

    Editor()
    {
        LUiSet(&ui);
        LSettings::SetOverride("Settings", "AutoPlaybackAfterEffects", "1");
        auto file = std::make_unique<LKVFile>();
        file->audio.sampleRate = kRate;
        file->audio.channels = 2;
        const LSegmentRef segment = LAudioCutTank::Get().GetNewRefAndIncRef();
        const int32_t length = kTenHours / kCuts;
        for (int32_t i = 0; i < kCuts; ++i) {
            if (i > 0)
                LAudioCutTank::Get().IncRef(segment);
            file->audio.Add(LCut::Adopt(segment, length, 0x1000000, (i * 7919) % kCuts * length));
        }
        file->pos.viewEnd = file->audio.GetLength();
        doc = &main.AddDocument(std::move(file));
    }
    ~Editor() { LUiSet(nullptr); }
};

Editor& TheEditor()
{
    static Editor editor;
    return editor;
}

// Runs `command` on a selection of one hour in the middle and restores the
// document with Undo outside the timing when the command changed it.
template <class Command>
void RunCommand(benchmark::State& state, Command command, bool undo)
{
    Editor& e = TheEditor();
    for (auto _ : state) {
        state.PauseTiming();
        e.main.SetSelection(4 * kHour, 5 * kHour, 4 * kHour);
        state.ResumeTiming();
        command(e.main);
        state.PauseTiming();
        if (undo)
            e.main.CmUndo();
        state.ResumeTiming();
    }
    state.counters["cuts"] = double(e.doc->audio.Cuts().size());
}

void BM_Command_Cut(benchmark::State& s) { RunCommand(s, [](MainDialog& m) { m.CmCut(); }, true); }
void BM_Command_Copy(benchmark::State& s) { RunCommand(s, [](MainDialog& m) { m.CmCopy(); }, false); }
void BM_Command_Paste(benchmark::State& s)
{
    TheEditor().main.SetSelection(0, kHour, 0);
    TheEditor().main.CmCopy();
    RunCommand(s, [](MainDialog& m) { m.CmPaste(); }, true);
}
void BM_Command_Delete(benchmark::State& s) { RunCommand(s, [](MainDialog& m) { m.CmDelete(); }, true); }
void BM_Command_SelectAll(benchmark::State& s) { RunCommand(s, [](MainDialog& m) { m.CmSelectAll(); }, false); }
void BM_Command_SelectToStart(benchmark::State& s) { RunCommand(s, [](MainDialog& m) { m.CmSelectToStart(); }, false); }
void BM_Command_SelectToEnd(benchmark::State& s) { RunCommand(s, [](MainDialog& m) { m.CmSelectToEnd(); }, false); }
void BM_Command_Undo(benchmark::State& s)
{
    Editor& e = TheEditor();
    for (auto _ : s) {
        s.PauseTiming();
        e.main.SetSelection(4 * kHour, 5 * kHour, 4 * kHour);
        e.main.CmDelete();
        s.ResumeTiming();
        e.main.CmUndo();
    }
}
void BM_Command_CopyToNew(benchmark::State& s)
{
    Editor& e = TheEditor();
    for (auto _ : s) {
        s.PauseTiming();
        e.main.SetSelection(4 * kHour, 5 * kHour, 4 * kHour);
        s.ResumeTiming();
        LKVFile* copy = e.main.CmCopyToNew();
        s.PauseTiming();
        e.main.RemoveDocument(copy);
        e.main.SetCurrentFile(e.doc);
        s.ResumeTiming();
    }
}
void BM_Command_AddRegion(benchmark::State& s)
{
    Editor& e = TheEditor();
    RunCommand(s, [](MainDialog& m) { m.CmAddRegion(); }, false);
    e.main.DeleteAllRegions();
}
void BM_Command_SetBookmark(benchmark::State& s)
{
    Editor& e = TheEditor();
    RunCommand(s, [](MainDialog& m) { m.CmSetBookmark(); }, false);
    e.main.DeleteAllBookmarks();
}

BENCHMARK(BM_Command_Cut)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Command_Copy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Command_Paste)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Command_Delete)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Command_Undo)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Command_SelectAll)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Command_SelectToStart)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Command_SelectToEnd)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Command_CopyToNew)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Command_AddRegion)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Command_SetBookmark)->Unit(benchmark::kMillisecond);

} // namespace
