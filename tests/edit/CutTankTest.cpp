#include <gtest/gtest.h>

#include <algorithm>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "core/LFile.h"
#include "edit/EditTestSupport.h"
#include "edit/LAudioCutTank.h"
#include "edit/LTankFolderLock.h"
#include "edit/LRecordTarget.h"
#include "edit/LSNKCutTank.h"

using test::ListOf;

namespace {

std::string Peaks(LSegmentRef ref) { return test::ReadFileBytes(LAudioCutTank::Get().GetGrfFilePath(ref)); }

} // namespace

TEST(CutTank, PeakEntriesPerBlockOf256Frames)
{
    std::vector<int32_t> v(257 * 2, 0);
    for (int32_t i = 0; i < 256; ++i) {
        v[size_t(2 * i)] = -0x7FFF0 + i;          // left: all negative
        v[size_t(2 * i + 1)] = i == 7 ? 0x100000 : 4096;  // right: over full scale once
    }
    v[512] = 0x7FFF0;  // frame 256 alone in a partial block
    v[513] = -0x800;
    LCutListAudio list = ListOf(v, 44100, 2);
    ASSERT_EQ(list.Cuts().size(), 1u);
    EXPECT_EQ(list.Cuts()[0].length, 257);
    std::string p = Peaks(list.Cuts()[0].Segment());
    ASSERT_EQ(p.size(), 8u) << "two entries of 2 bytes per channel";
    EXPECT_EQ(uint8_t(p[0]), 0) << "all-negative block has no positive peak";
    EXPECT_EQ(uint8_t(p[1]), 255);
    EXPECT_EQ(uint8_t(p[2]), 255) << "0x100000 is capped at 255";
    EXPECT_EQ(uint8_t(p[3]), 0);
    EXPECT_EQ(uint8_t(p[4]), 255);
    EXPECT_EQ(uint8_t(p[5]), 0);
    EXPECT_EQ(uint8_t(p[6]), 0);
    EXPECT_EQ(uint8_t(p[7]), 1);
    EXPECT_EQ(test::ReadFileBytes(LAudioCutTank::Get().GetAudFilePath(list.Cuts()[0].Segment())).size(), 257u * 8);

    LCutListAudio exact = ListOf(std::vector<int32_t>(256, 1 << 11));
    EXPECT_EQ(Peaks(exact.Cuts()[0].Segment()), std::string("\x01\x00", 2));
    LCutListAudio empty = ListOf({});
    ASSERT_EQ(empty.Cuts().size(), 1u);
    EXPECT_EQ(empty.Cuts()[0].length, 0);
    EXPECT_TRUE(Peaks(empty.Cuts()[0].Segment()).empty());
}

TEST(CutTank, NumbersAreReusedAndFilesGoWithTheLastReference)
{
    LAudioCutTank& tank = LAudioCutTank::Get();
    auto* a = new LCutListAudio(ListOf({1, 2, 3}));
    LCutListAudio b = ListOf({4, 5});
    LSegmentRef segA = a->Cuts()[0].Segment(), segB = b.Cuts()[0].Segment();
    EXPECT_EQ(segA, 0);
    EXPECT_EQ(segB, 1);
    std::string aud = tank.GetAudFilePath(segA);
    LCutListAudio shared(*a);
    EXPECT_EQ(tank.RefCount(segA), 2);
    delete a;
    EXPECT_TRUE(FileExists(aud)) << "still shared";
    shared.Clear();
    EXPECT_FALSE(FileExists(aud));
    EXPECT_FALSE(FileExists(tank.GetGrfFilePath(segA)));
    LCutListAudio c = ListOf({6});
    EXPECT_EQ(c.Cuts()[0].Segment(), 0) << "the lowest free number comes back";
    EXPECT_EQ(tank.GetAudFilePath(kSilentSegment), "");
}

TEST(CutTank, ConcurrentReferenceCountingKeepsCounts)
{
    LAudioCutTank& tank = LAudioCutTank::Get();
    LCutListAudio list = ListOf({1, 2, 3});
    LSegmentRef seg = list.Cuts()[0].Segment();
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 20000; ++i) {
                tank.IncRef(seg);
                LSegmentRef fresh = tank.GetNewRefAndIncRef();
                tank.DecRef(fresh);
                tank.DecRef(seg);
            }
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(tank.RefCount(seg), 1);
    EXPECT_EQ(tank.LiveSegments(), 1);
}

TEST(CutTank, FullTankFailsTheNewSegmentWithoutTouchingOthers)
{
    LAudioCutTank& tank = LAudioCutTank::Get();
    LCutListAudio keep = ListOf({7, 8, 9});
    std::vector<LSegmentRef> taken;
    for (;;) {
        LSegmentRef r = tank.GetNewRefAndIncRef();
        if (r == kSilentSegment)
            break;
        taken.push_back(r);
    }
    EXPECT_EQ(taken.size(), 65534u);
    LCutListAudio failed;
    {
        LSoundSink sink = failed.OpenSink(8000, 1);
        EXPECT_TRUE(sink->IsError());
        int32_t v[] = {1};
        sink->Write(v, 1);
    }
    EXPECT_EQ(test::Frames(keep), (std::vector<int32_t>{7, 8, 9}));
    tank.DecRefAll(taken);
    EXPECT_EQ(tank.LiveSegments(), 1);
}

TEST(CutTank, TankSinkSeeksAndRewritesPeaks)
{
    LCutListAudio list;
    {
        LSoundSink sink = list.OpenSink(8000, 1);
        std::vector<int32_t> loud(600, 0x7FFF0);
        sink->Write(loud.data(), 600);
        sink->Seek(256);
        std::vector<int32_t> quiet(100, 0x800);
        sink->Write(quiet.data(), 100);
    }
    EXPECT_EQ(list.GetLength(), 356);
    std::string p = Peaks(list.Cuts()[0].Segment());
    ASSERT_GE(p.size(), 4u);
    EXPECT_EQ(uint8_t(p[0]), 255);
    EXPECT_EQ(uint8_t(p[2]), 1);
}

TEST(CutTank, ASegmentSharedByMoreThan65535CutsKeepsItsFiles)
{
    LCutListAudio one = ListOf({5, 6, 7, 8});
    LCutListAudio many;
    for (int i = 0; i < 70000; ++i)
        many.Add(LCut(one.Cuts()[0]));
    LCutListAudio copy = many;
    copy.Clear();
    many.Clear();
    std::string aud = LAudioCutTank::Get().GetAudFilePath(one.Cuts()[0].Segment());
    EXPECT_TRUE(FileExists(aud));
    EXPECT_EQ(test::Frames(one), (std::vector<int32_t>{5, 6, 7, 8}));
}

TEST(CutTank, ExitRemovesEverySegmentFileAndThePrivateFolder)
{
    // The parent's own segment must survive a forked child's exit (parallel batch workers fork).
    LCutListAudio mine = ListOf({11, 12});
    std::string folderFile = test::TempPath("tank-folder.txt");
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        LCutListAudio a = ListOf({1, 2, 3});
        LCutListAudio b = ListOf({4});
        test::WriteFileBytes(folderFile, LAudioCutTank::Get().GetWorkingFolder());
        std::exit(0);  // static destruction runs, as at the end of the program
    }
    int status = 0;
    waitpid(child, &status, 0);
    std::string folder = test::ReadFileBytes(folderFile);
    ASSERT_FALSE(folder.empty());
    EXPECT_FALSE(FolderExists(folder)) << folder;
    EXPECT_NE(folder, LAudioCutTank::Get().GetWorkingFolder());
    EXPECT_EQ(test::Frames(mine), (std::vector<int32_t>{11, 12}));
}

TEST(RecordTarget, KeepsThePrefixAndMergesItBack)
{
    LCutListAudio doc = ListOf({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    LRecordTarget target(doc);
    LSoundTime at(1);  // 1 ms: 8 frames at 8000 Hz
    {
        LSoundSink sink = target.OpenRecordSink(at);
        int32_t recorded[] = {70, 80, 90};
        sink->Write(recorded, 3);
    }
    EXPECT_EQ(test::Frames(target.Working()), (std::vector<int32_t>{70, 80, 90})) << "the recording alone";
    const std::vector<int32_t> merged = {1, 2, 3, 4, 5, 6, 7, 8, 70, 80, 90};
    EXPECT_EQ(test::ReadAll(target.OpenSource()), merged);
    EXPECT_EQ(test::Frames(target.Working()), merged) << "merged once";
    EXPECT_EQ(test::Frames(doc), (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10})) << "the document is untouched";
}

TEST(CutTank, AWorkingFolderHasOneOwnerWhoKeepsWhatAnEarlierRunLeftNamed)
{
    const std::string folder = test::TempPath("Current");
    ASSERT_TRUE(CreateFolders(folder));
    for (const char* name : {"0.aud", "0.grf", "1.aud", "1.grf", "5.aud", "05.aud", "x.aud", "notes.txt"})
        test::WriteFileBytes(FilePathCat(folder, name), "left");
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        LAudioCutTank& tank = LAudioCutTank::Get();
        EXPECT_TRUE(tank.SetWorkingFolder(folder));
        EXPECT_TRUE(tank.OwnsSharedFolder());
        // A second process is refused the folder while this one holds it.
        pid_t second = fork();
        if (second == 0)
            std::_Exit(LAudioCutTank::Get().SetWorkingFolder(folder) ? 1 : 0);
        int status = 0;
        waitpid(second, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the second owner was let in";

        // Segment 1 is named by what the earlier run left; the rest goes.
        EXPECT_TRUE(tank.ReserveSegments({1}));
        tank.RemoveDeadSegmentFiles();
        std::vector<std::string> files = ListFolder(folder);
        std::sort(files.begin(), files.end());
        EXPECT_EQ(files, (std::vector<std::string>{"1.aud", "1.grf", "notes.txt", kTankLockFile}));
        {
            LCutListAudio fresh = ListOf({1, 2});
            EXPECT_EQ(fresh.Cuts()[0].Segment(), 0) << "a new segment never takes a reserved number";
            EXPECT_EQ(test::ReadFileBytes(FilePathCat(folder, "1.aud")), "left");
        }
        EXPECT_FALSE(tank.ReserveSegments({1})) << "already alive";
        tank.DecRef(1);
        tank.DecRef(1);
        EXPECT_FALSE(FileExists(FilePathCat(folder, "1.aud")));
        std::exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    // At its owner's exit the segment files go; other files stay.
    std::vector<std::string> files = ListFolder(folder);
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"notes.txt", kTankLockFile}));
}

TEST(RecordTarget, ItsProgressFollowsTheTakeAsItIsWritten)
{
    LCutListAudio doc = ListOf({1, 2, 3, 4});
    LRecordTarget target(doc);
    LSoundSink sink = target.OpenRecordSink(LSoundTime(0));
    std::shared_ptr<const LTankSinkProgress> progress = target.Progress();
    ASSERT_NE(progress, nullptr);
    EXPECT_NE(progress->segment.load(), kSilentSegment);
    EXPECT_EQ(progress->frames.load(), 0u);
    const int32_t values[6] = {1, 2, 3, 4, 5, 6};
    sink->Write(values, 6);
    EXPECT_EQ(progress->frames.load(), 6u);
    // The recorder trims a silence by seeking back: only what stays counts.
    sink->Seek(2);
    EXPECT_EQ(progress->frames.load(), 2u);
    sink->Write(values, 1);
    EXPECT_EQ(progress->frames.load(), 3u);
    EXPECT_EQ(test::ReadFileBytes(LAudioCutTank::Get().GetAudFilePath(LSegmentRef(progress->segment.load()))).size(),
              6u * 4);
}
