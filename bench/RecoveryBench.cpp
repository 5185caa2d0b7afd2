// The crash record: what keeping it costs after each edit of a 10-hour
// document of 20 000 cuts (encoding, writing, fsync, rename), and what having
// the document back costs at start-up (reading, checking, reserving the
// segments, rebuilding the document).
//
// The editor's tank owns a shared working folder, which this process's own tank
// must not be switched to (other benchmarks hold segments in it), so the work
// runs in a child process with a folder of its own; each iteration's time is
// measured there and handed back.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "app/LKVRecovery.h"
#include "app/MainDialog.h"
#include "core/LFile.h"
#include "core/LProgressDialog.h"
#include "core/LScriptedUi.h"
#include "edit/LAudioCutTank.h"

namespace {

constexpr int32_t kRate = 44100;
constexpr int32_t kFrames = 10 * 3600 * kRate;  // ten hours, stereo
constexpr int32_t kCuts = 20000;

// The editor's document after 20 000 edits: contiguous cuts of one segment with
// unaligned boundaries, every third at half gain, every hundredth silent. The
// record names segments only, so the segment holds a token of audio.
void MakeDocument(LKVFile& doc)
{
    doc.path = "/home/user/Recordings/ten hours.wav";
    {
        std::vector<int32_t> v(512, 1000);
        LSoundSink sink = doc.audio.OpenSink(kRate, 2);
        sink->Write(v.data(), 256);
    }
    const LCut whole = doc.audio.Cuts().front();
    doc.audio.Clear();
    LAudioCutTank& tank = LAudioCutTank::Get();
    int32_t at = 0;
    for (int32_t i = 0; i < kCuts; ++i) {
        const int32_t next = i + 1 == kCuts ? kFrames : int32_t(int64_t(kFrames) * (i + 1) / kCuts + (i * 97) % 200);
        if (i % 100 == 99) {
            doc.audio.Add(LCut::Silence(next - at));
        } else {
            tank.IncRef(whole.Segment());
            doc.audio.Add(LCut::Adopt(whole.Segment(), next - at, i % 3 == 0 ? 0x800000 : 0x1000000, at));
        }
        at = next;
    }
    doc.pos = {kFrames / 2, kFrames / 3, kFrames / 3 + kRate, 0, kFrames};
    doc.modified = true;
}

// Answers Yes to the recovery question.
class YesUi : public LScriptedUi {
public:
    YesUi() { answers.push_back(LUiAnswer::Yes); }
};

enum : char { kWrite = 'w', kRecover = 'r', kQuit = 'q' };

// The child: performs one operation per byte read, and answers with the
// operation's time in seconds.
[[noreturn]] void Serve(int in, int out, const std::string& folder)
{
    if (!LAudioCutTank::Get().SetWorkingFolder(folder))
        ::_exit(2);
    LKVFile doc;
    MakeDocument(doc);
    LKVBookMarkList bookmarks{{"middle", doc.path, 18000000, 1, 0}};
    LKVRegionList regions;
    std::vector<uint8_t> record;  // the record as the start-up finds it
    std::string recordPath;
    {
        LKVRecovery recovery;
        recovery.Write(doc, bookmarks, regions);
        for (const std::string& f : ListFolder(folder))
            if (GetFileExtension(f) == LKVRecovery::kExtension)
                recordPath = FilePathCat(folder, f);
        LFile f;
        f.Open(recordPath, LFile::Mode::Read);
        record.resize(size_t(f.GetFileSizeBytes()));
        f.Read(record.data(), int32_t(record.size()));
        // Going out of scope leaves the record, as a crash would.
    }
    LKVRecovery recovery;
    char op = 0;
    while (::read(in, &op, 1) == 1 && op != kQuit) {
        double seconds = 0;
        if (op == kWrite) {
            // The edit itself is not timed: a cursor move stands for it.
            doc.pos.cursor += 1;
            const auto t0 = std::chrono::steady_clock::now();
            recovery.Write(doc, bookmarks, regions);
            seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        } else {
            // A run that crashed left the record and its segment.
            WriteFileAtomically(recordPath, record.data(), record.size());
            YesUi ui;
            int32_t restored = 0;
            {
                const auto t0 = std::chrono::steady_clock::now();
                MainDialog main;
                restored = main.RecoverAtStart();
                seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
                if (restored != 1 || main.Documents()[0]->audio.Cuts().size() != size_t(kCuts))
                    seconds = -1;
            }
        }
        if (::write(out, &seconds, sizeof seconds) != sizeof seconds)
            break;
    }
    recovery.RemoveAll();
    ::_exit(0);
}

class Child {
public:
    Child()
    {
        std::string templ = FilePathCat(GetTempFolder(), "kelvane-recovery-bench-XXXXXX");
        folder_ = mkdtemp(templ.data()) ? templ : std::string();
        int a[2], b[2];
        if (folder_.empty() || ::pipe(a) != 0 || ::pipe(b) != 0)
            return;
        pid_ = fork();
        if (pid_ == 0) {
            ::close(a[1]);
            ::close(b[0]);
            Serve(a[0], b[1], folder_);
        }
        ::close(a[0]);
        ::close(b[1]);
        to_ = a[1];
        from_ = b[0];
    }
    ~Child()
    {
        const char quit = kQuit;
        if (::write(to_, &quit, 1) == 1)
            waitpid(pid_, nullptr, 0);
        ::close(to_);
        ::close(from_);
        DeleteFolderAndFiles(folder_);
    }
    // The child's time for one `op`; negative when it failed.
    double Run(char op)
    {
        double seconds = -1;
        if (::write(to_, &op, 1) != 1 || ::read(from_, &seconds, sizeof seconds) != sizeof seconds)
            return -1;
        return seconds;
    }

private:
    std::string folder_;
    pid_t pid_ = -1;
    int to_ = -1, from_ = -1;
};

void Measure(benchmark::State& state, char op)
{
    Child child;
    for (auto _ : state) {
        const double seconds = child.Run(op);
        if (seconds < 0) {
            state.SkipWithError("the child failed");
            break;
        }
        state.SetIterationTime(seconds);
    }
    state.SetLabel("10 h stereo, 20000 cuts");
}

void BM_RecoveryRecordAfterEdit(benchmark::State& state) { Measure(state, kWrite); }
void BM_RecoveryAtStart(benchmark::State& state) { Measure(state, kRecover); }

} // namespace

BENCHMARK(BM_RecoveryRecordAfterEdit)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_RecoveryAtStart)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);
