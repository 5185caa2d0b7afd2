// Crash recovery, proven with real crashes: an editor in a child process works
// in a shared working folder and is killed with SIGKILL; a new editor over the
// same folder must bring back exactly what the killed one held.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <random>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>

#include "AppTestSupport.h"
#include "app/LKVRecovery.h"
#include "app/LRecordDlgModel.h"
#include "edit/LTankFolderLock.h"
#include "devices/backends/LFileWaveIn.h"

namespace {

// What the tests compare: each document's title, audio and untitled state,
// and the regions with their audio.
struct Doc {
    std::string title;
    std::vector<int32_t> frames;
    friend bool operator==(const Doc&, const Doc&) = default;
};
struct State {
    std::vector<Doc> docs;
    std::vector<Doc> regions;
    friend bool operator==(const State&, const State&) = default;
};

State StateOf(const MainDialog& main)
{
    State s;
    for (const auto& d : main.Documents())
        s.docs.push_back({d->GetPathOrTitle(), test::Frames(d->audio)});
    for (const LKVRegion& r : main.Regions())
        s.regions.push_back({r.name + "|" + r.path, test::Frames(r.audio)});
    return s;
}

class Ui : public apptest::AppUi {
public:
    std::function<int32_t(LRecordDlgModel&)> record;
    int32_t RecordDialog(LRecordDlgModel& model) override { return record ? record(model) : 0; }
};

constexpr int32_t kDocFrames = 16000;   // 2 s at 8 kHz
// The take goes in at kTakeAt, in place of the kTakeReplaces frames selected there.
constexpr int32_t kTakeAt = 6000;
constexpr int32_t kTakeReplaces = 1000;
constexpr int32_t kTakeFrames = 24000;  // 3 s

std::vector<int16_t> TakeValues()
{
    std::vector<int16_t> v(kTakeFrames);
    for (size_t i = 0; i < v.size(); ++i)
        v[i] = int16_t(1000 + int32_t(i % 250) * 40);
    return v;
}

// Whether the record of the document at `docPath` in `folder` holds `frames`.
bool RecordHolds(const std::string& folder, const std::string& docPath, int64_t frames)
{
    for (const std::string& name : ListFolder(folder)) {
        if (GetFileExtension(name) != LKVRecovery::kExtension)
            continue;
        const std::string bytes = test::ReadFileBytes(FilePathCat(folder, name));
        LKVRecoveryRecord r;
        if (!LKVRecoveryRecord::Decode(std::vector<uint8_t>(bytes.begin(), bytes.end()), r) || r.path != docPath)
            continue;
        int64_t total = 0;
        for (const auto& c : r.cuts)
            total += c.length;
        if (total == frames)
            return true;
    }
    return false;
}

// The editor's work, step by step; `after(k)` runs when step k is complete.
// With a `killInTake` folder the process kills itself while the take is still
// open, once the record there has followed all of it.
void Work(MainDialog& main, Ui& ui, const std::string& docPath, const std::function<void(int32_t)>& after,
          const std::string& killInTake = {})
{
    int32_t step = 0;
    auto done = [&] { after(step++); };
    ASSERT_NE(main.OpenFile(docPath), nullptr);
    done();
    main.SetSelection(1000, 3000, 1000);
    main.CmCut();
    done();
    main.SetSelection(4000, 4000, 4000);
    main.CmPaste();
    done();
    main.SetSelection(kTakeAt, kTakeAt + kTakeReplaces, kTakeAt);
    ui.record = [&](LRecordDlgModel& model) {
        EXPECT_TRUE(model.StartTake(0));
        EXPECT_TRUE(LFileWaveIn::WaitUntilDrained(30000));
        if (!killInTake.empty()) {
            // The take replaces the 1000 selected frames.
            for (int i = 0; i < 10000 && !RecordHolds(killInTake, docPath, kDocFrames - kTakeReplaces + kTakeFrames);
                 ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            ::raise(SIGKILL);
        }
        model.StopTake();
        return 1;
    };
    EXPECT_TRUE(main.CmRecord());
    done();
    ui.texts.push_back("take");
    EXPECT_TRUE(main.CmAddRegion());
    done();
    main.SetSelection(100, 900, 100);
    EXPECT_NE(main.CmCopyToNew(), nullptr);
    done();
    main.SetSelection(0, 50, 0);
    main.CmDelete();
    done();
}

// Runs `body` in a child process, which ends with _exit: the parent's objects
// are never destroyed twice.
int32_t FailedParts()
{
    const testing::TestResult* result = testing::UnitTest::GetInstance()->current_test_info()->result();
    int32_t failed = 0;
    for (int i = 0; i < result->total_part_count(); ++i)
        failed += result->GetTestPartResult(i).failed();
    return failed;
}

pid_t Child(const std::function<void()>& body)
{
    std::fflush(nullptr);
    const int32_t failedBefore = FailedParts();
    const pid_t pid = fork();
    if (pid == 0) {
        body();
        ::_exit(FailedParts() > failedBefore ? 1 : 0);
    }
    return pid;
}

int32_t Wait(pid_t pid)
{
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFSIGNALED(status) ? -WTERMSIG(status) : WEXITSTATUS(status);
}

std::vector<std::string> Files(const std::string& folder)
{
    std::vector<std::string> names;
    for (const std::string& n : ListFolder(folder))
        if (n != kTankLockFile)
            names.push_back(n);
    std::sort(names.begin(), names.end());
    return names;
}

void WriteAllOrDie(int fd, const void* p, size_t n)
{
    if (WriteAll(fd, p, int32_t(n)) != int32_t(n))
        ::_exit(3);
}

// A state through a pipe: count, then each title and frame list.
void SendState(int fd, const State& s)
{
    for (const auto* list : {&s.docs, &s.regions}) {
        const uint32_t n = uint32_t(list->size());
        WriteAllOrDie(fd, &n, 4);
        for (const Doc& d : *list) {
            const uint32_t t = uint32_t(d.title.size()), f = uint32_t(d.frames.size());
            WriteAllOrDie(fd, &t, 4);
            WriteAllOrDie(fd, d.title.data(), t);
            WriteAllOrDie(fd, &f, 4);
            WriteAllOrDie(fd, d.frames.data(), f * 4);
        }
    }
}

bool ReadFull(int fd, void* p, size_t n)
{
    for (size_t at = 0; at < n;) {
        const ssize_t got = ::read(fd, static_cast<char*>(p) + at, n - at);
        if (got <= 0)
            return false;
        at += size_t(got);
    }
    return true;
}

bool ReceiveState(int fd, State& s)
{
    auto read = [&](void* p, size_t n) { return ReadFull(fd, p, n); };
    for (auto* list : {&s.docs, &s.regions}) {
        uint32_t n = 0;
        if (!read(&n, 4))
            return false;
        for (uint32_t i = 0; i < n; ++i) {
            Doc d;
            uint32_t t = 0, f = 0;
            if (!read(&t, 4))
                return false;
            d.title.resize(t);
            if (!read(d.title.data(), t) || !read(&f, 4))
                return false;
            d.frames.resize(f);
            if (!read(d.frames.data(), size_t(f) * 4))
                return false;
            list->push_back(std::move(d));
        }
    }
    return true;
}

class Recovery : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = test::TempPath("Current");
        docPath_ = test::TempPath("doc.wav");
        apptest::WriteWav(docPath_, apptest::Ramp16(kDocFrames), 8000, 1);
        const std::string take = test::TempPath("take.wav");
        apptest::WriteWav(take, TakeValues(), 8000, 1);
        setenv("KELVANE_AUDIO_IN", take.c_str(), 1);
        setenv("KELVANE_AUDIO_CLOCK", "free", 1);
        LSettings::WriteBool("Settings", "PlayWhenOpen", false);
        LSettings::WriteBool("Settings", "AutoPlaybackAfterEffects", false);
        LSettings::WriteBool("Settings", "PromptSampleAndChannels", false);
        LSettings::WriteBool("Recorder", "Autotrim", false);
    }

    // Empties the shared folder between runs (no editor is running then).
    void ClearFolder()
    {
        for (const std::string& f : Files(folder_))
            ::unlink(FilePathCat(folder_, f).c_str());
    }

    // An editor that has done all its work and waits; returns its pid.
    pid_t EditorDone()
    {
        int fds[2];
        EXPECT_EQ(::pipe(fds), 0);
        const pid_t editor = StartEditor(fds[1], false);
        ::close(fds[1]);
        int32_t last = -1, step = 0;
        while (::read(fds[0], &step, 4) == 4)
            last = step;
        ::close(fds[0]);
        EXPECT_EQ(last, 6);
        return editor;
    }

    // The editor in a child over the shared folder: it works (reporting each
    // finished step through `report`), then waits to be killed.
    pid_t StartEditor(int report, bool killInTake)
    {
        return Child([&, report, killInTake] {
            LKVRecovery::takeIntervalMs = 2;
            if (!LAudioCutTank::Get().SetWorkingFolder(folder_))
                ::_exit(4);
            Ui ui;
            test::ScriptedProgress progress;
            MainDialog main;
            Work(main, ui, docPath_, [&](int32_t step) { WriteAllOrDie(report, &step, 4); },
                 killInTake ? folder_ : std::string());
            ::close(report);
            for (;;)
                ::pause();
        });
    }

    // A new editor over the folder: what it asked, and the state it recovered.
    struct Recovered {
        std::vector<std::string> asked;
        State state;
        std::vector<bool> modified;
        std::vector<std::string> filesAfter;  // the folder once it decided
        int32_t exit = 0;
    };
    Recovered Recover(LUiAnswer answer, bool ownFolder = true)
    {
        int fds[2];
        EXPECT_EQ(::pipe(fds), 0);
        const pid_t pid = Child([&] {
            ::close(fds[0]);
            const bool owns = LAudioCutTank::Get().SetWorkingFolder(folder_);
            if (owns != ownFolder)
                ::_exit(5);
            if (!owns)
                LAudioCutTank::Get().UsePrivateFolder();
            Ui ui;
            ui.answers.push_back(answer);
            test::ScriptedProgress progress;
            MainDialog main;
            main.RecoverAtStart();
            State s = StateOf(main);
            SendState(fds[1], s);
            const uint32_t asked = uint32_t(ui.messages.size());
            WriteAllOrDie(fds[1], &asked, 4);
            for (const LUiMessage& m : ui.messages)
                SendState(fds[1], State{{{m.text, {}}}, {}});
            const uint32_t n = uint32_t(main.Documents().size());
            WriteAllOrDie(fds[1], &n, 4);
            for (const auto& d : main.Documents()) {
                const uint8_t m = d->modified;
                WriteAllOrDie(fds[1], &m, 1);
            }
            State files;
            for (const std::string& f : Files(folder_))
                files.docs.push_back({f, {}});
            SendState(fds[1], files);
            ::close(fds[1]);
        });
        ::close(fds[1]);
        Recovered r;
        EXPECT_TRUE(ReceiveState(fds[0], r.state));
        uint32_t asked = 0;
        EXPECT_EQ(::read(fds[0], &asked, 4), 4);
        for (uint32_t i = 0; i < asked; ++i) {
            State m;
            EXPECT_TRUE(ReceiveState(fds[0], m));
            r.asked.push_back(m.docs.at(0).title);
        }
        uint32_t n = 0;
        EXPECT_EQ(::read(fds[0], &n, 4), 4);
        for (uint32_t i = 0; i < n; ++i) {
            uint8_t m = 0;
            EXPECT_EQ(::read(fds[0], &m, 1), 1);
            r.modified.push_back(m != 0);
        }
        State files;
        EXPECT_TRUE(ReceiveState(fds[0], files));
        for (const Doc& f : files.docs)
            r.filesAfter.push_back(f.title);
        ::close(fds[0]);
        r.exit = Wait(pid);
        return r;
    }

    // The states after every step, from the same work in this process (its
    // own private tank: nothing is recorded here).
    std::vector<State> Reference()
    {
        Ui ui;
        test::ScriptedProgress progress;
        MainDialog main;
        EXPECT_FALSE(main.Recovery().Active());
        std::vector<State> states;
        Work(main, ui, docPath_, [&](int32_t) { states.push_back(StateOf(main)); });
        return states;
    }

    std::string folder_;
    std::string docPath_;
};

// The kill landed in the take: the document before it (`before`) with the
// first `n` frames of the take as the whole take left them (`after`) in place
// of the selection, for some n.
bool IsPartOfTake(const State& got, const State& before, const State& after)
{
    if (got.docs.size() != before.docs.size() || got.regions != before.regions || got.docs.empty() ||
        after.docs.empty())
        return false;
    const std::vector<int32_t>& b = before.docs[0].frames;
    const std::vector<int32_t>& a = after.docs[0].frames;
    const std::vector<int32_t>& g = got.docs[0].frames;
    const size_t kept = b.size() - size_t(kTakeReplaces);
    if (g.size() < kept || g.size() > a.size() || got.docs[0].title != before.docs[0].title)
        return false;
    const size_t n = g.size() - kept;
    std::vector<int32_t> expected(b.begin(), b.begin() + kTakeAt);
    expected.insert(expected.end(), a.begin() + kTakeAt, a.begin() + kTakeAt + std::ptrdiff_t(n));
    expected.insert(expected.end(), b.begin() + kTakeAt + kTakeReplaces, b.end());
    return g == expected;
}

TEST_F(Recovery, AnEditorKilledAnywhereComesBackAsItWasAtItsLastEdit)
{
    // The work as it runs here, and how long it takes, to spread the kills over it.
    const auto t0 = std::chrono::steady_clock::now();
    const std::vector<State> states = Reference();
    const int64_t span = std::max<int64_t>(
        1000, std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - t0).count());
    ASSERT_EQ(states.size(), 7u);

    std::mt19937 random(19);
    int32_t inTake = 0, atStart = 0;
    for (int run = 0; run < 20; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        ClearFolder();
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        // Every fourth run dies inside the take itself; the others at a random moment.
        const bool killInTake = run % 4 == 3;
        const pid_t editor = StartEditor(fds[1], killInTake);
        ::close(fds[1]);
        if (!killInTake) {
            std::this_thread::sleep_for(std::chrono::microseconds(random() % uint64_t(span)));
            ::kill(editor, SIGKILL);
        }
        EXPECT_EQ(Wait(editor), -SIGKILL);
        int32_t last = -1, step = 0;
        while (::read(fds[0], &step, 4) == 4)
            last = step;
        ::close(fds[0]);

        const Recovered r = Recover(LUiAnswer::Yes);
        EXPECT_EQ(r.exit, 0);
        if (last < 0 && r.asked.empty()) {
            ++atStart;  // killed before the file was open: nothing to ask about
            continue;
        }
        ASSERT_EQ(r.asked, std::vector<std::string>{LKVRecovery::kQuestion});
        const State& got = r.state;
        // The last step reported, or the next one when the kill fell between
        // its record and its report.
        const bool exact = (last >= 0 && got == states[size_t(last)]) ||
                           (last + 1 < int32_t(states.size()) && got == states[size_t(last + 1)]);
        const bool partial = !exact && last == 2 && IsPartOfTake(got, states[2], states[3]);
        EXPECT_TRUE(exact || partial) << "after step " << last << ", " << got.docs.size() << " documents";
        if (killInTake) {
            EXPECT_EQ(last, 2);
            EXPECT_TRUE(got == states[3] || partial) << "the whole take is back";
            EXPECT_EQ(got.docs.at(0).frames.size(), states[3].docs[0].frames.size()) << "nothing of it lost";
            ++inTake;
        }
        // The file as it was opened is no unsaved change; anything after it is.
        for (size_t i = 0; i < r.modified.size(); ++i)
            EXPECT_EQ(r.modified[i], i > 0 || !(got == states[0])) << "document " << i;
        // The recovering editor ended normally: its records went with it.
        for (const std::string& f : Files(folder_))
            EXPECT_NE(GetFileExtension(f), LKVRecovery::kExtension) << f;
    }
    EXPECT_EQ(inTake, 5);
    EXPECT_LT(atStart, 20);
}

TEST_F(Recovery, UntitledDocumentsAndRegionsComeBackAndNoFreesEverything)
{
    const std::vector<State> states = Reference();
    const pid_t editor = EditorDone();

    // While it runs, a second editor over the folder works elsewhere and
    // leaves the first one's records and segments alone.
    const std::vector<std::string> before = Files(folder_);
    EXPECT_EQ(std::count_if(before.begin(), before.end(),
                            [](const std::string& f) { return GetFileExtension(f) == LKVRecovery::kExtension; }),
              2);
    const Recovered second = Recover(LUiAnswer::Yes, false);
    EXPECT_EQ(second.exit, 0);
    EXPECT_TRUE(second.asked.empty());
    EXPECT_TRUE(second.state.docs.empty());
    EXPECT_EQ(Files(folder_), before);

    ::kill(editor, SIGKILL);
    Wait(editor);

    // A damaged record and a stray segment file are cleared away, unasked.
    test::WriteFileBytes(FilePathCat(folder_, "junk.kvr"), "KVRC\x01 not a record");
    test::WriteFileBytes(FilePathCat(folder_, "60000.aud"), "stray");
    const Recovered no = Recover(LUiAnswer::No);
    EXPECT_EQ(no.exit, 0);
    EXPECT_EQ(no.asked.size(), 1u);
    EXPECT_TRUE(no.state.docs.empty());
    EXPECT_EQ(no.filesAfter, std::vector<std::string>{}) << "No frees every segment at once";

    // Again, answered Yes: both documents, the untitled one untitled.
    const pid_t again = EditorDone();
    ::kill(again, SIGKILL);
    Wait(again);
    const Recovered yes = Recover(LUiAnswer::Yes);
    EXPECT_EQ(yes.state, states[6]);
    ASSERT_EQ(yes.state.docs.size(), 2u);
    EXPECT_EQ(yes.state.docs[1].title, "Untitled 1");
    EXPECT_EQ(yes.state.regions.size(), 1u);
    EXPECT_EQ(yes.modified, (std::vector<bool>{true, true}));
}

TEST_F(Recovery, ADocumentThatWasNeverChangedComesBackUnmodified)
{
    const pid_t pid = Child([&] {
        if (!LAudioCutTank::Get().SetWorkingFolder(folder_))
            ::_exit(4);
        Ui ui;
        test::ScriptedProgress progress;
        MainDialog main;
        ASSERT_NE(main.OpenFile(docPath_), nullptr);
        main.SetSelection(10, 20, 10);  // looking around changes nothing
        std::fflush(nullptr);
        ::_exit(FailedParts() ? 1 : 0);  // no orderly end: the record stays
    });
    EXPECT_EQ(Wait(pid), 0);
    const Recovered r = Recover(LUiAnswer::Yes);
    ASSERT_EQ(r.state.docs.size(), 1u);
    EXPECT_EQ(r.modified, std::vector<bool>{false});
}

TEST_F(Recovery, AFailedWriteLeavesThePreviousRecord)
{
    const pid_t pid = Child([&] {
        if (!LAudioCutTank::Get().SetWorkingFolder(folder_))
            ::_exit(4);
        Ui ui;
        test::ScriptedProgress progress;
        MainDialog main;
        ASSERT_NE(main.OpenFile(docPath_), nullptr);
        std::vector<std::string> records;
        for (const std::string& f : Files(folder_))
            if (GetFileExtension(f) == LKVRecovery::kExtension)
                records.push_back(FilePathCat(folder_, f));
        ASSERT_EQ(records.size(), 1u);
        const std::string opened = test::ReadFileBytes(records[0]);
        // A disk that fills up: no file may grow past what the record is now.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{opened.size() - 1, RLIM_INFINITY};
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
        main.SetSelection(100, 200, 100);
        main.CmDelete();
        EXPECT_EQ(main.Documents()[0]->audio.GetLength(), kDocFrames - 100) << "the edit itself went through";
        EXPECT_EQ(test::ReadFileBytes(records[0]), opened);
        EXPECT_FALSE(FileExists(records[0] + ".tmp"));
        limit.rlim_cur = RLIM_INFINITY;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
        main.SetSelection(100, 200, 100);
        main.CmDelete();
        EXPECT_NE(test::ReadFileBytes(records[0]), opened) << "the next edit is recorded again";
        // Saved, the document needs no record; closed, nor does anything.
        main.CmSave();
        EXPECT_FALSE(FileExists(records[0]));
    });
    EXPECT_EQ(Wait(pid), 0);
}

TEST_F(Recovery, AudioMissingFromTheFolderIsNamedAndTheRestComesBack)
{
    // doc.wav with other.wav pasted into its middle, at 1 s: three cuts over two segments.
    const std::string other = test::TempPath("other.wav");
    std::vector<int16_t> otherValues(4000, int16_t(-1234));
    apptest::WriteWav(other, otherValues, 8000, 1);
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    const pid_t editor = Child([&] {
        ::close(fds[0]);
        if (!LAudioCutTank::Get().SetWorkingFolder(folder_))
            ::_exit(4);
        Ui ui;
        test::ScriptedProgress progress;
        MainDialog main;
        ASSERT_NE(main.OpenFile(docPath_), nullptr);
        ASSERT_NE(main.OpenFile(other), nullptr);
        main.SetSelection(0, 4000, 0);
        main.CmCopy();
        main.OpenFile(docPath_);
        main.SetSelection(8000, 8000, 8000);
        main.CmPaste();
        WriteAllOrDie(fds[1], "k", 1);
        ::close(fds[1]);
        for (;;)
            ::pause();
    });
    ::close(fds[1]);
    char done = 0;
    EXPECT_EQ(::read(fds[0], &done, 1), 1);
    ::close(fds[0]);
    ::kill(editor, SIGKILL);
    Wait(editor);

    LKVRecoveryRecord doc;
    for (const std::string& f : Files(folder_)) {
        const std::string bytes = test::ReadFileBytes(FilePathCat(folder_, f));
        LKVRecoveryRecord r;
        if (GetFileExtension(f) == LKVRecovery::kExtension &&
            LKVRecoveryRecord::Decode(std::vector<uint8_t>(bytes.begin(), bytes.end()), r) && r.path == docPath_)
            doc = r;
    }
    ASSERT_EQ(doc.cuts.size(), 3u);
    auto aud = [&](LSegmentRef s) { return FilePathCat(folder_, std::to_string(s) + ".aud"); };
    // other.wav's segment is gone; doc.wav's lost its last second.
    ASSERT_EQ(::unlink(aud(doc.cuts[1].segment).c_str()), 0);
    ASSERT_EQ(::truncate(aud(doc.cuts[0].segment).c_str(), 12000 * 4), 0);

    const Recovered r = Recover(LUiAnswer::Yes);
    EXPECT_EQ(r.exit, 0);
    ASSERT_EQ(r.asked.size(), 1u);
    EXPECT_EQ(r.asked[0], std::string(LKVRecovery::kQuestion) +
                              "\r\n\r\nSome of their audio is missing from the working folder and cannot be "
                              "recovered. Yes recovers the rest, with silence in place of:\r\n" +
                              docPath_ + ": 0:00:01.00-0:00:01.50, 0:00:02.00-0:00:02.50\r\n" + other +
                              ": 0:00:00.00-0:00:00.50");
    ASSERT_EQ(r.state.docs.size(), 2u);
    std::vector<int32_t> expected(20000, 0);
    for (int32_t i = 0; i < 8000; ++i)
        expected[size_t(i)] = i * 16;
    for (int32_t i = 8000; i < 12000; ++i)
        expected[size_t(i) + 4000] = i * 16;
    EXPECT_EQ(r.state.docs[0].frames, expected) << "what the folder holds, in its place";
    EXPECT_EQ(r.state.docs[1].frames, std::vector<int32_t>(4000, 0));
}

} // namespace
