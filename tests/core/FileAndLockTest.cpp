#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include "core/LFile.h"
#include "core/LLockFile.h"
#include "support/TestSupport.h"

TEST(Paths, SplitJoinAndExtensions)
{
    EXPECT_EQ(FilePathCat("a", "b"), "a/b");
    EXPECT_EQ(FilePathCat("a/", "b"), "a/b");
    EXPECT_EQ(FilePathCat("a\\", "b"), "a\\b");
    EXPECT_EQ(FilePathCat("", "b"), "b");
    EXPECT_EQ(ApplyNewFileExtension("/x/song.mp3", ".wav"), "/x/song.wav");
    EXPECT_EQ(ApplyNewFileExtension("/x.d/song", ".wav"), "/x.d/song.wav") << "a dot in a folder is not an extension";
    EXPECT_EQ(ApplyNewFileExtension("C:\\a.b\\c", ".lck"), "C:\\a.b\\c.lck");
    EXPECT_EQ(GetFolderFromPath("C:\\music\\a.wav"), "C:\\music");
    EXPECT_EQ(GetFileFromPath("/music/sub\\a.wav"), "a.wav");
    EXPECT_EQ(GetFolderFromPath("a.wav"), "");
    EXPECT_EQ(GetFileExtension("/m.v/a.WAV"), ".WAV");
    EXPECT_EQ(GetFileExtension("/m.v/noext"), "");
}

TEST(Paths, DeleteFolderAndFilesKeepsNothingVisible)
{
    std::string dir = test::TempPath("tank");
    ASSERT_TRUE(CreateFolders(dir + "/x"));
    ::rmdir((dir + "/x").c_str());
    test::WriteFileBytes(dir + "/1.aud", "a");
    test::WriteFileBytes(dir + "/1.grf", "b");
    EXPECT_TRUE(DeleteFolderAndFiles(dir));
    EXPECT_FALSE(FolderExists(dir));
}

TEST(LockFile, SecondHolderIsRefusedAndTheFileGoesWithTheLock)
{
    std::string doc = test::TempPath("song.wav");
    std::string lck = test::TempPath("song.lck");
    LLockFile a, b;
    EXPECT_TRUE(a.Lock(doc));
    EXPECT_TRUE(FileExists(lck));
    EXPECT_FALSE(b.Lock(doc));
    EXPECT_TRUE(a.Lock(doc)) << "locking again in the same holder reopens";

    pid_t child = fork();
    if (child == 0) {
        LLockFile c;
        _exit(c.Lock(doc) ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 1) << "another process sees the document open";

    a.Unlock();
    EXPECT_FALSE(FileExists(lck));
    EXPECT_TRUE(b.Lock(doc));
}

TEST(LockFile, UnwritableFolderStillLetsTheDocumentOpen)
{
    LLockFile a;
    EXPECT_TRUE(a.Lock("/proc/no-such-folder/song.wav"));
}

TEST(File, ReadsWritesAndCuts)
{
    std::string path = test::TempPath("f.bin");
    LFile f;
    EXPECT_FALSE(f.Open(path, LFile::Mode::Read));
    EXPECT_FALSE(f.Open(test::HomeDir(), LFile::Mode::Read)) << "a folder is not a file";
    ASSERT_TRUE(f.Open(path, LFile::Mode::Create));
    EXPECT_EQ(f.Write("hello world", 11), 11);
    EXPECT_TRUE(f.Seek(5));
    EXPECT_TRUE(f.SetEndOfFile());
    EXPECT_EQ(f.GetFileSizeBytes(), 5);
    char buf[16] = {};
    EXPECT_EQ(f.ReadAt(1, buf, 16), 4);
    EXPECT_STREQ(buf, "ello");
}
