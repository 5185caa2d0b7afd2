#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/LFile.h"
#include "edit/LAudioCutTank.h"
#include "support/TestSupport.h"
#include "support/WavTestSupport.h"

using test::Quote;
using test::TempPath;

namespace {

std::vector<std::string> TankFolders(const std::string& parent)
{
    std::vector<std::string> found;
    if (DIR* dir = opendir(parent.c_str())) {
        while (dirent* e = readdir(dir))
            if (std::string(e->d_name).rfind("kelvane-tank-", 0) == 0)
                found.push_back(parent + "/" + e->d_name);
        closedir(dir);
    }
    return found;
}

// A child process that makes its tank folder under `tmp` with a segment in it and
// reports the folder; then it is killed (`die`) or waits until `hold` closes.
struct TankOwner {
    pid_t pid = -1;
    std::string folder;
    int hold = -1;  // closing it lets a live owner end normally

    TankOwner(const std::string& tmp, bool die)
    {
        int report[2], wait[2];
        if (pipe(report) != 0 || pipe(wait) != 0)
            return;
        pid = fork();
        if (pid == 0) {
            ::close(report[0]);
            ::close(wait[1]);
            setenv("TMPDIR", tmp.c_str(), 1);
            LAudioCutTank& tank = LAudioCutTank::Get();
            LSegmentRef ref = tank.GetNewRefAndIncRef();
            test::WriteFileBytes(tank.GetAudFilePath(ref), std::string(4096, 'a'));
            const std::string made = tank.GetWorkingFolder();
            if (::write(report[1], made.data(), made.size()) != ssize_t(made.size()))
                _exit(3);
            ::close(report[1]);
            if (die)
                std::raise(SIGKILL);
            char c;
            while (::read(wait[0], &c, 1) > 0) {
            }
            tank.ReleaseFolder();
            _exit(0);
        }
        ::close(report[1]);
        ::close(wait[0]);
        hold = wait[1];
        char buffer[512];
        ssize_t n;
        while ((n = ::read(report[0], buffer, sizeof buffer)) > 0)
            folder.append(buffer, size_t(n));
        ::close(report[0]);
    }

    // Lets a live owner end; its exit status as a shell shows it (128 + signal when killed).
    int Finish()
    {
        if (hold >= 0)
            ::close(hold);
        hold = -1;
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
    }
};

} // namespace

TEST(TankFolder, AFolderLeftByAKilledOwnerGoesWithTheNextRunAndALiveOnesStays)
{
    const std::string tmp = TempPath("tmp-owners");
    ASSERT_TRUE(CreateFolders(tmp));
    TankOwner killed(tmp, true);
    ASSERT_EQ(killed.Finish(), 128 + SIGKILL);
    ASSERT_TRUE(FolderExists(killed.folder)) << "a kill runs no clean-up: the folder is left behind";
    TankOwner live(tmp, false);
    ASSERT_TRUE(FolderExists(live.folder));

    const std::string in = test::WriteSineWav("tank-in.wav", 8000, 1, 4000);
    ASSERT_EQ(test::Run("TMPDIR=" + Quote(tmp) + " " + test::BatchProgram() + " -q -o " + Quote(TempPath("tank-out")) +
                        " " + Quote(in)),
              0);
    EXPECT_FALSE(FolderExists(killed.folder)) << "its owner is gone";
    EXPECT_TRUE(FileExists(live.folder + "/0.aud")) << "its owner still runs";
    EXPECT_EQ(TankFolders(tmp), std::vector<std::string>{live.folder}) << "the run removed its own folder";

    EXPECT_EQ(live.Finish(), 0);
    EXPECT_FALSE(FolderExists(live.folder));
}

TEST(TankFolder, ParallelWorkersLeaveNoFolder)
{
    const std::string tmp = TempPath("tmp-workers");
    ASSERT_TRUE(CreateFolders(tmp));
    std::string files;
    for (int i = 0; i < 3; ++i)
        files += " " + Quote(test::WriteSineWav("w" + std::to_string(i) + ".wav", 8000, 1, 3000 + i));
    ASSERT_EQ(test::Run("TMPDIR=" + Quote(tmp) + " " + test::BatchProgram() + " -q -j 3 -o " +
                        Quote(TempPath("workers-out")) + files),
              0);
    EXPECT_TRUE(FileExists(TempPath("workers-out/w2.wav")));
    EXPECT_EQ(TankFolders(tmp), std::vector<std::string>{});
}
