// Temporary outputs: where a save writes until it is complete, and what a
// writer killed outright leaves for the next run.
#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "core/LFile.h"
#include "core/LTempOutput.h"
#include "support/TestSupport.h"

namespace {

mode_t ModeOf(const std::string& path)
{
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st.st_mode & 07777;
}

} // namespace

TEST(TempOutput, IsPrivateUntilCommittedAndNeverFollowsALink)
{
    const std::string folder = test::TempPath("out");
    ASSERT_TRUE(CreateFolders(folder));
    const std::string victim = test::TempPath("victim.txt");
    test::WriteFileBytes(victim, "keep me");
    // Links planted under every name an earlier scheme could be guessed by.
    const std::string target = FilePathCat(folder, "song.wav");
    for (const std::string& name : {".kelvane-" + std::to_string(getpid()) + "-song.wav", std::string("song.wav.tmp")})
        ASSERT_EQ(::symlink(victim.c_str(), FilePathCat(folder, name).c_str()), 0);

    const mode_t mask = ::umask(027);
    LTempOutput temp;
    ASSERT_TRUE(temp.Create(target));
    EXPECT_EQ(GetFileExtension(temp.Path()), ".wav") << "the writer is chosen by the extension";
    EXPECT_EQ(ModeOf(temp.Path()), 0600u);
    EXPECT_EQ(ModeOf(GetFolderFromPath(temp.Path())), 0700u);
    test::WriteFileBytes(temp.Path(), "new audio");
    ASSERT_TRUE(temp.Commit());
    EXPECT_EQ(test::ReadFileBytes(target), "new audio");
    EXPECT_EQ(ModeOf(target), 0640u) << "a new file's mode under the umask";
    EXPECT_EQ(test::ReadFileBytes(victim), "keep me");

    // A replaced file keeps its mode; an abandoned output leaves the target as it was.
    ::chmod(target.c_str(), 0604);
    ASSERT_TRUE(temp.Create(target));
    test::WriteFileBytes(temp.Path(), "newer");
    ASSERT_TRUE(temp.Commit());
    EXPECT_EQ(ModeOf(target), 0604u);
    ASSERT_TRUE(temp.Create(target));
    test::WriteFileBytes(temp.Path(), "half");
    temp.Abandon();
    EXPECT_EQ(test::ReadFileBytes(target), "newer");
    ::umask(mask);
    EXPECT_EQ(ListFolder(folder).size(), 3u) << "the target and the two planted links only";

    // A name of 255 bytes, the most Linux allows, is saved.
    const std::string longName = FilePathCat(folder, std::string(251, 'n') + ".wav");
    ASSERT_TRUE(temp.Create(longName));
    test::WriteFileBytes(temp.Path(), "long");
    ASSERT_TRUE(temp.Commit());
    EXPECT_EQ(test::ReadFileBytes(longName), "long");
}

TEST(TempOutput, TheNextRunRemovesWhatADeadWriterLeftAndNothingElse)
{
    const std::string folder = test::TempPath("leftovers");
    ASSERT_TRUE(CreateFolders(folder));
    // A writer killed outright while its output and an encoder's log were open.
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t writer = fork();
    if (writer == 0) {
        LTempOutput temp;
        std::string log;
        if (temp.Create(FilePathCat(folder, "a.mp3")) && CreateLockedTempFile(folder, "kelvane-encoder-", log) >= 0) {
            test::WriteFileBytes(temp.Path(), "partial");
            test::WriteFileBytes(log, "encoder output");
            ssize_t ignored = write(ready[1], "k", 1);
            (void)ignored;
        }
        pause();
        _exit(0);
    }
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    ::kill(writer, SIGKILL);
    waitpid(writer, nullptr, 0);
    ASSERT_EQ(ListFolder(folder).size(), 2u);

    // A live save in the same folder, files of the user's that only look alike, and
    // an entry still empty (its writer may be about to lock it) are kept.
    LTempOutput live;
    ASSERT_TRUE(live.Create(FilePathCat(folder, "b.mp3")));
    test::WriteFileBytes(FilePathCat(folder, ".kelvane-notes.txt"), "mine");
    test::WriteFileBytes(FilePathCat(folder, "kelvane-encoder-ab"), "mine");
    ASSERT_TRUE(CreateFolders(FilePathCat(folder, ".kelvane-Empty1")));

    LTempOutput::RemoveAbandoned(folder);
    EXPECT_EQ(ListFolder(folder).size(), 4u) << "the dead writer's output and log are gone";
    EXPECT_TRUE(FileExists(live.Path()));
    EXPECT_TRUE(FileExists(FilePathCat(folder, ".kelvane-notes.txt")));
    EXPECT_TRUE(FileExists(FilePathCat(folder, "kelvane-encoder-ab")));
    EXPECT_TRUE(FolderExists(FilePathCat(folder, ".kelvane-Empty1")));
}

TEST(TempOutput, AtomicReplacementsFromTwoThreadsNeverMeet)
{
    // The crash records are replaced from two threads at once: each write must
    // land whole, and neither may fail because the other took its temporary file.
    const std::string path = test::TempPath("record.bin");
    const std::string victim = test::TempPath("victim.bin");
    test::WriteFileBytes(victim, "keep");
    ASSERT_EQ(::symlink(victim.c_str(), (path + ".tmp").c_str()), 0);
    const std::string a(100000, 'a'), b(70000, 'b');
    auto writer = [&](const std::string& bytes, int& failed) {
        for (int i = 0; i < 200; ++i)
            failed += !WriteFileAtomically(path, bytes.data(), bytes.size(), false);
    };
    int failedA = 0, failedB = 0;
    std::thread first(writer, std::cref(a), std::ref(failedA));
    std::thread second(writer, std::cref(b), std::ref(failedB));
    first.join();
    second.join();
    EXPECT_EQ(failedA + failedB, 0);
    const std::string last = test::ReadFileBytes(path);
    EXPECT_TRUE(last == a || last == b);
    EXPECT_EQ(test::ReadFileBytes(victim), "keep");
    for (const std::string& name : ListFolder(test::HomeDir()))
        EXPECT_EQ(name.rfind(".kelvane-", 0), std::string::npos) << "no temporary left: " << name;
}
