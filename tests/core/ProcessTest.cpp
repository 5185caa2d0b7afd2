#include <gtest/gtest.h>

#include <csignal>
#include <pthread.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/LFile.h"
#include "core/LProcess.h"
#include "support/TestSupport.h"

TEST(Process, CommandLinesSplitAndQuotedArgumentsSurvive)
{
    EXPECT_EQ(SplitCommandLine("\"/usr/bin/lame\" -m j  -b 128 \"a b.wav\""),
              (std::vector<std::string>{"/usr/bin/lame", "-m", "j", "-b", "128", "a b.wav"}));
    EXPECT_EQ(SplitCommandLine("a\\\\b \"c\\\"d\" e\\\\\\\"f"), (std::vector<std::string>{"a\\\\b", "c\"d", "e\\\"f"}));
    for (std::string name : {"plain", "with space", "quote\"inside", "back\\slash", "trailing\\", "\"", "",
                             "mixed \\\" and \\\\\" ends\\\\", "ünïcödé name.wav"}) {
        std::vector<std::string> args = SplitCommandLine("\"prog\" -o " + QuoteArgument(name) + " x");
        ASSERT_EQ(args.size(), 4u) << name;
        EXPECT_EQ(args[2], name);
    }
}

TEST(Process, RunsFeedsAndReportsExitStatus)
{
    std::string out = test::TempPath("cat-out.txt");
    LProcess cat;
    ASSERT_TRUE(cat.Start({"sh", "-c", "cat > " + test::Quote(out)}, true));
    EXPECT_EQ(cat.WriteStdin("hello", 5), 5);
    cat.CloseStdin();
    EXPECT_TRUE(cat.WaitFor(10000));
    EXPECT_EQ(cat.ExitStatus(), 0);
    EXPECT_EQ(test::ReadFileBytes(out), "hello");

    LProcess failing;
    ASSERT_TRUE(failing.Start({"sh", "-c", "exit 3"}, false));
    EXPECT_TRUE(failing.WaitFor(10000));
    EXPECT_EQ(failing.ExitStatus(), 3);

    LProcess early;  // exits without reading: writes fail instead of killing us
    ASSERT_TRUE(early.Start({"true"}, true));
    early.WaitFor(10000);
    std::string big(1 << 20, 'x');
    EXPECT_LT(early.WriteStdin(big.data(), int32_t(big.size())), int32_t(big.size()));

    LProcess missing;
    EXPECT_FALSE(missing.Start({"/no/such/program"}, false) && missing.WaitFor(10000) && missing.ExitStatus() == 0);
}

namespace {

// Whether process `pid` is gone (or only a zombie waiting for whoever adopted it).
bool Gone(pid_t pid)
{
    const std::string stat = test::ReadFileBytes("/proc/" + std::to_string(pid) + "/stat");
    const size_t close = stat.rfind(')');
    return stat.empty() || (close != std::string::npos && close + 2 < stat.size() && stat[close + 2] == 'Z');
}

} // namespace

TEST(Process, ChildrenDieWithTheirParentAndStartWithDefaultSignals)
{
    // This process ignores SIGPIPE and SIGXFSZ and blocks SIGUSR1; a child gets
    // neither the ignoring nor the blocking.
    sigset_t block, old;
    sigemptyset(&block);
    sigaddset(&block, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &block, &old);
    std::string status = test::TempPath("status.txt");
    LFile out;
    ASSERT_TRUE(out.Open(status, LFile::Mode::Create));
    LProcess cat;
    ASSERT_TRUE(cat.Start({"cat", "/proc/self/status"}, false, false, out.Fd()));
    ASSERT_TRUE(cat.WaitFor(10000));
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    const std::string text = test::ReadFileBytes(status);
    EXPECT_NE(text.find("SigIgn:\t0000000000000000"), std::string::npos) << text;
    EXPECT_NE(text.find("SigBlk:\t0000000000000000"), std::string::npos) << text;

    // A parent killed outright takes its child with it.
    std::string pidFile = test::TempPath("child.pid");
    const pid_t parent = fork();
    if (parent == 0) {
        LProcess child;
        child.Start({"sh", "-c", "echo $$ > " + test::Quote(pidFile) + ".new && mv " + test::Quote(pidFile) +
                                     ".new " + test::Quote(pidFile) + " && exec sleep 600"},
                    false);
        pause();
        _exit(0);
    }
    std::string pid;
    for (int i = 0; i < 2000 && (pid = test::ReadFileBytes(pidFile)).empty(); ++i)
        usleep(5000);
    ASSERT_FALSE(pid.empty());
    ::kill(parent, SIGKILL);
    waitpid(parent, nullptr, 0);
    bool gone = false;
    for (int i = 0; i < 2000 && !(gone = Gone(pid_t(std::stoi(pid)))); ++i)
        usleep(5000);
    EXPECT_TRUE(gone) << "the child outlived its parent";
    if (!gone)
        ::kill(pid_t(std::stoi(pid)), SIGKILL);
}

TEST(Process, AWriteToAChildThatDoesNotReadCanBeCancelled)
{
    LProcess stuck;
    ASSERT_TRUE(stuck.Start({"sleep", "600"}, true));
    std::string big(1 << 20, 'x');
    int asked = 0;
    EXPECT_LT(stuck.WriteStdin(big.data(), int32_t(big.size()), [&] { return ++asked == 3; }), int32_t(big.size()));
    EXPECT_EQ(asked, 3) << "asked only while waiting";
    stuck.Stop();
    EXPECT_TRUE(stuck.WaitFor(0));
}
