// Two users of one temporary folder: each run's decoded audio is out of the
// other's reach, and neither run reads what the other left under a shared name.
#include <gtest/gtest.h>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/LFile.h"
#include "support/TestSupport.h"
#include "support/WavTestSupport.h"

using test::Quote;

namespace {

constexpr uid_t kFirstUser = 65534, kSecondUser = 65533;

std::string AsUser(uid_t uid, const std::string& command)
{
    const std::string id = std::to_string(uid);
    return "setpriv --reuid=" + id + " --regid=" + id + " --clear-groups /bin/sh -c " + Quote(command);
}

std::vector<std::string> DecoderFolders(const std::string& parent)
{
    std::vector<std::string> found;
    if (DIR* dir = opendir(parent.c_str())) {
        while (dirent* e = readdir(dir))
            if (std::string(e->d_name).rfind("kelvane-decode-", 0) == 0)
                found.push_back(parent + "/" + e->d_name);
        closedir(dir);
    }
    return found;
}

// A user's folder with a FLAC of `frames` frames, a settings home and a command
// line converting it to WAV with `tmp` as the temporary folder.
struct UserFiles {
    std::string folder, flac, out, command;

    UserFiles(const std::string& shared, const std::string& tmp, uid_t uid, int32_t frames, const std::string& extra)
    {
        folder = shared + "/u" + std::to_string(uid);
        flac = folder + "/in.flac";
        out = folder + "/out";
        CreateFolders(folder + "/home");
        const std::string wav = test::WriteSineWav("u" + std::to_string(uid) + ".wav", 8000, 1, frames);
        test::Run("flac -s -f -o " + Quote(flac) + " " + Quote(wav));
        test::Run("chown -R " + std::to_string(uid) + ":" + std::to_string(uid) + " " + Quote(folder));
        ::chmod(folder.c_str(), 0700);
        command = "TMPDIR=" + Quote(tmp) + " KELVANE_HOME=" + Quote(folder + "/home") + " " + test::BatchProgram() +
                  " -q " + extra + " -f wav -o " + Quote(out) + " " + Quote(flac) + " 2> " + Quote(folder + "/log");
    }

    int64_t OutputFrames() const { return (int64_t(test::ReadFileBytes(out + "/in.wav").size()) - 46) / 2; }
};

// Whatever way the test ends: a held decoder is let go and the shared folder removed.
struct Cleanup {
    std::string shared;
    int go = -1;
    ~Cleanup()
    {
        if (go >= 0) {
            if (::write(go, "\n", 1) < 0) {
            }
            ::close(go);
        }
        test::Run("rm -rf " + Quote(shared));
    }
};

} // namespace

TEST(DecoderFolder, TwoUsersSharingATemporaryFolderCannotReachEachOthersDecodedAudio)
{
    if (::geteuid() != 0 || !test::HaveProgram("setpriv"))
        GTEST_SKIP() << "needs root, to act as two other users";
    // A folder every user can reach, as /tmp is: this test's own home is private.
    std::string shared = "/tmp/kelvane-shared-XXXXXX";
    ASSERT_NE(mkdtemp(shared.data()), nullptr);
    ::chmod(shared.c_str(), 0755);
    Cleanup cleanup{shared};
    const std::string tmp = shared + "/tmp";
    ASSERT_EQ(::mkdir(tmp.c_str(), 0700), 0);
    ::chmod(tmp.c_str(), 01777);

    // What a third user left under the shared names: a decoded file anyone may
    // read, and its lock file that the others cannot open.
    test::WriteSineWav("planted.wav", 8000, 1, 20000);
    test::Run("cp " + Quote(test::TempPath("planted.wav")) + " " + Quote(tmp + "/Temp1.wav"));
    ::chmod((tmp + "/Temp1.wav").c_str(), 0644);
    test::WriteFileBytes(tmp + "/Temp1.lck", "");
    ::chmod((tmp + "/Temp1.lck").c_str(), 0600);

    // The first user's decoder stops once it has written its output, until the
    // test has let the second user try that output.
    const std::string ready = shared + "/ready", go = shared + "/go";
    ASSERT_EQ(::mkfifo(ready.c_str(), 0666), 0);
    ASSERT_EQ(::mkfifo(go.c_str(), 0666), 0);
    ::chmod(ready.c_str(), 0666);
    ::chmod(go.c_str(), 0666);
    const std::string wrapper = shared + "/held-decoder.sh";
    test::WriteFileBytes(wrapper, "#!/bin/sh\n" KELVANE_BIN_DIR "/kelvane-avdec \"$@\" || exit 1\necho ready > " +
                                      Quote(ready) + "\nread go < " + Quote(go) + "\n");
    ::chmod(wrapper.c_str(), 0755);
    const UserFiles first(shared, tmp, kFirstUser, 8000, "--set " + Quote("Components\\flacdec.Path=" + wrapper));
    const UserFiles second(shared, tmp, kSecondUser, 12000, "");

    const int readyFd = ::open(ready.c_str(), O_RDWR | O_CLOEXEC);
    const int goFd = ::open(go.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(readyFd, 0);
    ASSERT_GE(goFd, 0);
    cleanup.go = goFd;
    const pid_t pid = fork();
    if (pid == 0) {
        const std::string line = AsUser(kFirstUser, first.command);
        execl("/bin/sh", "sh", "-c", line.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    ASSERT_GT(pid, 0);
    // Until the first run is inside its decoder, or has ended without getting there.
    bool inside = false, ended = false;
    int status = 0;
    while (!inside && !ended) {
        pollfd wait{readyFd, POLLIN, 0};
        inside = ::poll(&wait, 1, 100) == 1;
        ended = !inside && waitpid(pid, &status, WNOHANG) == pid;
    }
    ASSERT_TRUE(inside) << "the first run ended before its decoder wrote anything: "
                        << test::ReadFileBytes(first.folder + "/log");

    std::vector<std::string> folders = DecoderFolders(tmp);
    ASSERT_EQ(folders.size(), 1u);
    const std::string output = folders[0] + "/Temp1.wav";
    struct stat st {};
    ASSERT_EQ(::stat(folders[0].c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, kFirstUser);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ASSERT_EQ(::stat(output.c_str(), &st), 0);
    const off_t decodedSize = st.st_size;
    // The second user can neither read, list, replace nor remove it.
    EXPECT_NE(test::Run(AsUser(kSecondUser, "cat " + Quote(output) + " > /dev/null 2>&1")), 0);
    EXPECT_NE(test::Run(AsUser(kSecondUser, "ls " + Quote(folders[0]) + " > /dev/null 2>&1")), 0);
    EXPECT_NE(test::Run(AsUser(kSecondUser, "echo x 2>/dev/null > " + Quote(output))), 0);
    EXPECT_NE(test::Run(AsUser(kSecondUser, "rm -rf " + Quote(folders[0]) + " 2>/dev/null")), 0);
    // Its own run meanwhile decodes its own file, and leaves the live folder alone.
    EXPECT_EQ(test::Run(AsUser(kSecondUser, second.command)), 0) << test::ReadFileBytes(second.folder + "/log");
    EXPECT_EQ(second.OutputFrames(), 12000);
    ASSERT_EQ(::stat(output.c_str(), &st), 0);
    EXPECT_EQ(st.st_size, decodedSize);

    ASSERT_EQ(::write(goFd, "\n", 1), 1);
    cleanup.go = -1;
    ::close(goFd);
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << test::ReadFileBytes(first.folder + "/log");
    EXPECT_EQ(first.OutputFrames(), 8000) << "its own audio, not the file left under the shared name";
    EXPECT_TRUE(DecoderFolders(tmp).empty()) << "each run removes its folder";
    EXPECT_EQ(test::ReadFileBytes(tmp + "/Temp1.wav"), test::ReadFileBytes(test::TempPath("planted.wav")));
    ::close(readyFd);
}
