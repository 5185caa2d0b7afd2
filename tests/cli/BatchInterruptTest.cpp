#include <gtest/gtest.h>

#include <csignal>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/LFile.h"
#include "support/TestSupport.h"
#include "support/WavTestSupport.h"

using test::Quote;
using test::TempPath;

extern char** environ;

namespace {

// An encoder component that runs `body` (shell) and then the real encoder.
std::string WrapEncoder(const std::string& name, const std::string& body, const std::string& real)
{
    std::string path = TempPath(name);
    test::WriteFileBytes(path, "#!/bin/sh\n" + body + "\nexec " + real + " \"$@\"\n");
    ::chmod(path.c_str(), 0755);
    return path;
}

// kelvane-batch started in a process group of its own, as a terminal starts a
// foreground command; its standard error goes to `log`, its tank under `tmp`.
pid_t StartAsFromATerminal(const std::string& args, const std::string& log, const std::string& tmp)
{
    std::string line = "TMPDIR=" + Quote(tmp) + " exec " + test::BatchProgram() + " -q " + args + " 2> " + Quote(log);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    const char* argv[] = {"/bin/sh", "-c", line.c_str(), nullptr};
    pid_t pid = -1;
    if (posix_spawn(&pid, "/bin/sh", nullptr, &attributes, const_cast<char**>(argv), environ) != 0)
        pid = -1;
    posix_spawnattr_destroy(&attributes);
    return pid;
}

// Waits until `path` exists or `pid` has exited; true when the file is there.
bool AwaitFile(const std::string& path, pid_t pid)
{
    for (int i = 0; i < 12000; ++i) {
        if (FileExists(path))
            return true;
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return false;
        usleep(10000);
    }
    return false;
}

int ExitCode(pid_t pid)
{
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Names in `folder`, hidden ones included.
std::string Listing(const std::string& folder)
{
    std::string list = TempPath("listing.txt");
    test::Run("ls -A " + Quote(folder) + " > " + Quote(list) + " 2>/dev/null");
    return test::ReadFileBytes(list);
}

} // namespace

TEST(BatchInterrupt, CtrlCDuringAnEncoderSaveCancelsAndLeavesNothing)
{
    // The encoder announces itself and holds back until the interrupt has been
    // sent, so the save is in progress when Ctrl+C comes, whatever the speed.
    std::string in = test::WriteSineWav("long.wav", 44100, 2, 44100 * 5, 440, 300000);
    struct Case {
        const char* ext;
        const char* component;
        const char* real;
    };
    for (Case c : {Case{"mp3", "mp3el", "kelvane-mp3el"}, Case{"flac", "flacenc", "flac"},
                   Case{"ogg", "oggenc", "oggenc"}}) {
        SCOPED_TRACE(c.ext);
        std::string marks = TempPath(std::string("marks-") + c.ext), out = TempPath(std::string("out-") + c.ext);
        std::string tmp = TempPath(std::string("tmp-") + c.ext), log = TempPath(std::string("log-") + c.ext);
        ASSERT_TRUE(CreateFolders(marks) && CreateFolders(out) && CreateFolders(tmp));
        std::string encoder = WrapEncoder(std::string("enc-") + c.ext,
                                          ": > " + Quote(marks + "/started") + "\nwhile [ ! -e " +
                                              Quote(marks + "/go") + " ]; do sleep 0.02; done",
                                          c.real);
        pid_t pid = StartAsFromATerminal("--set " + Quote(std::string("Components\\") + c.component + ".Path=" + encoder) +
                                             " -f " + c.ext + " -o " + Quote(out) + " " + Quote(in),
                                         log, tmp);
        ASSERT_GT(pid, 0);
        ASSERT_TRUE(AwaitFile(marks + "/started", pid)) << test::ReadFileBytes(log);
        ::kill(-pid, SIGINT);  // what the terminal does: the whole foreground group
        test::WriteFileBytes(marks + "/go", "");
        EXPECT_EQ(ExitCode(pid), 1) << test::ReadFileBytes(log);
        EXPECT_NE(test::ReadFileBytes(log).find(": cancelled"), std::string::npos) << test::ReadFileBytes(log);
        EXPECT_EQ(Listing(out), "") << "no output, no hidden temporary";
        EXPECT_EQ(Listing(tmp), "") << "no tank folder";
    }
}

TEST(BatchInterrupt, AnEncoderThatDiesIsAFailureWithItsCause)
{
    std::string in = test::WriteSineWav("dies.wav", 44100, 2, 44100 * 3, 440, 300000);
    std::string out = TempPath("out-dies"), tmp = TempPath("tmp-dies"), log = TempPath("log-dies");
    ASSERT_TRUE(CreateFolders(out) && CreateFolders(tmp));
    // Takes some of its input, prints nothing and is killed.
    std::string encoder = WrapEncoder("enc-dies", "head -c 100000 > /dev/null\nkill -9 $$", "kelvane-mp3el");
    int status = test::Run("TMPDIR=" + Quote(tmp) + " " + test::BatchProgram() + " -q --set " +
                           Quote("Components\\mp3el.Path=" + encoder) + " -f mp3 -o " + Quote(out) + " " + Quote(in) +
                           " 2> " + Quote(log));
    std::string text = test::ReadFileBytes(log);
    EXPECT_EQ(status, 2) << text;
    EXPECT_NE(text.find(": failed"), std::string::npos) << text;
    EXPECT_NE(text.find("The encoder was ended by signal 9"), std::string::npos) << text;
    EXPECT_EQ(Listing(out), "");
    EXPECT_EQ(Listing(tmp), "");
}

namespace {

// Whether process `pid` has ended (gone, or a zombie nobody reaps yet).
bool Ended(pid_t pid)
{
    const std::string stat = test::ReadFileBytes("/proc/" + std::to_string(pid) + "/stat");
    const size_t paren = stat.rfind(')');
    return paren == std::string::npos || paren + 2 >= stat.size() || stat[paren + 2] == 'Z';
}

// The process ids that encoder wrappers wrote as "started-PID" into `marks`: the
// workers that started them.
std::vector<pid_t> Starters(const std::string& marks)
{
    std::vector<pid_t> pids;
    for (const std::string& name : ListFolder(marks))
        if (name.rfind("started-", 0) == 0)
            pids.push_back(pid_t(std::stoi(name.substr(8))));
    return pids;
}

// A run of kelvane-batch on `count` files whose encoders announce themselves
// (as "started-<worker pid>") and hold back until `go` exists.
struct HeldRun {
    std::string marks, out, tmp, log, args;

    HeldRun(const std::string& name, int count, const std::string& jobs)
        : marks(TempPath(name + "-marks")), out(TempPath(name + "-out")), tmp(TempPath(name + "-tmp")),
          log(TempPath(name + ".log"))
    {
        EXPECT_TRUE(CreateFolders(marks) && CreateFolders(out) && CreateFolders(tmp));
        std::string files;
        for (int i = 0; i < count; ++i)
            files += " " + Quote(test::WriteSineWav(name + std::to_string(i) + ".wav", 44100, 2, 44100 * 3, 440));
        const std::string encoder = WrapEncoder(name + "-enc", ": > " + Quote(marks) + "/started-$PPID\nwhile [ ! -e " +
                                                                  Quote(marks + "/go") + " ]; do sleep 0.02; done",
                                                "kelvane-mp3el");
        args = jobs + "-f mp3 -o " + Quote(out) + files;
        pid = StartAsFromATerminal("--set " + Quote("Components\\mp3el.Path=" + encoder) + " " + args, log, tmp);
    }
    // Waits until `count` encoders have started.
    bool AwaitEncoders(size_t count)
    {
        for (int i = 0; i < 12000 && Starters(marks).size() < count; ++i) {
            if (waitpid(pid, nullptr, WNOHANG) == pid)
                return false;
            usleep(10000);
        }
        return Starters(marks).size() >= count;
    }
    void Go() { test::WriteFileBytes(marks + "/go", ""); }

    pid_t pid = -1;
};

} // namespace

TEST(BatchInterrupt, SigtermAndSighupStopARunAsCtrlCDoesWorkersIncluded)
{
    struct Case {
        int signal;
        int files;
        const char* jobs;
    };
    for (Case c : {Case{SIGTERM, 1, ""}, Case{SIGHUP, 1, ""}, Case{SIGTERM, 4, "-j 4 "}}) {
        const std::string name = "stop" + std::to_string(c.signal) + "-" + std::to_string(c.files);
        SCOPED_TRACE(name);
        HeldRun run(name, c.files, c.jobs);
        ASSERT_GT(run.pid, 0);
        ASSERT_TRUE(run.AwaitEncoders(size_t(c.files))) << test::ReadFileBytes(run.log);
        ::kill(run.pid, c.signal);  // the run's process alone, as a service manager sends it
        run.Go();
        EXPECT_EQ(ExitCode(run.pid), 1) << test::ReadFileBytes(run.log);
        for (pid_t worker : Starters(run.marks))
            EXPECT_TRUE(worker == run.pid || Ended(worker)) << "worker " << worker << " goes on";
        EXPECT_EQ(Listing(run.out), "") << "no output, no hidden temporary";
        EXPECT_EQ(Listing(run.tmp), "");
    }
}

TEST(BatchInterrupt, WorkersOfARunKilledOutrightStopAndTheNextRunIsClean)
{
    HeldRun run("killed", 4, "-j 4 ");
    ASSERT_GT(run.pid, 0);
    ASSERT_TRUE(run.AwaitEncoders(4)) << test::ReadFileBytes(run.log);
    ::kill(run.pid, SIGKILL);
    EXPECT_EQ(ExitCode(run.pid), 128 + SIGKILL);
    run.Go();
    // The workers are told as by SIGTERM when their parent dies: they cancel
    // their files and clean up.
    const std::vector<pid_t> workers = Starters(run.marks);
    ASSERT_EQ(workers.size(), 4u);
    for (pid_t worker : workers)
        for (int i = 0; i < 12000 && !Ended(worker); ++i)
            usleep(10000);
    for (pid_t worker : workers)
        EXPECT_TRUE(Ended(worker)) << "worker " << worker << " goes on";
    EXPECT_EQ(Listing(run.out), "");

    // The next run, with the real encoder, converts every file.
    ASSERT_EQ(test::Run("TMPDIR=" + Quote(run.tmp) + " " + test::BatchProgram() + " -q -j 4 " + run.args), 0);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(FileExists(run.out + "/killed" + std::to_string(i) + ".mp3")) << i;
    EXPECT_EQ(Listing(run.out), "killed0.mp3\nkilled1.mp3\nkilled2.mp3\nkilled3.mp3\n");
    EXPECT_EQ(Listing(run.tmp), "");
}

TEST(BatchInterrupt, AKilledRunTakesItsEncoderAlongAndTheNextRunClearsWhatItLeft)
{
    std::string in = test::WriteSineWav("killed.wav", 44100, 2, 44100 * 5, 440, 300000);
    std::string marks = TempPath("marks-killed"), out = TempPath("out-killed"), tmp = TempPath("tmp-killed");
    std::string log = TempPath("log-killed");
    ASSERT_TRUE(CreateFolders(marks) && CreateFolders(out) && CreateFolders(tmp));
    // The encoder says who it is and then waits for a gate that never opens.
    std::string encoder = WrapEncoder("enc-killed",
                                      "echo $$ > " + Quote(marks + "/pid.new") + " && mv " + Quote(marks + "/pid.new") +
                                          " " + Quote(marks + "/pid") + "\nwhile [ ! -e " + Quote(marks + "/go") +
                                          " ]; do sleep 0.02; done",
                                      "kelvane-mp3el");
    const std::string set = "--set " + Quote("Components\\mp3el.Path=" + encoder);
    pid_t pid = StartAsFromATerminal(set + " -f mp3 -o " + Quote(out) + " " + Quote(in), log, tmp);
    ASSERT_GT(pid, 0);
    ASSERT_TRUE(AwaitFile(marks + "/pid", pid)) << test::ReadFileBytes(log);
    const pid_t encoderPid = pid_t(std::stoi(test::ReadFileBytes(marks + "/pid")));
    ::kill(pid, SIGKILL);
    ExitCode(pid);
    bool gone = false;
    for (int i = 0; i < 2000 && !gone; ++i) {
        const std::string stat = test::ReadFileBytes("/proc/" + std::to_string(encoderPid) + "/stat");
        gone = stat.empty() || stat.find(") Z ") != std::string::npos;
        if (!gone)
            usleep(5000);
    }
    EXPECT_TRUE(gone) << "the encoder outlived kelvane-batch";
    if (!gone)
        ::kill(encoderPid, SIGKILL);
    EXPECT_NE(Listing(out), "") << "the killed save's partial output is still there";

    // The next run into the same folder removes it, and the encoder's log.
    std::string next = test::WriteSineWav("next.wav", 8000, 1, 800);
    EXPECT_EQ(test::Run("TMPDIR=" + Quote(tmp) + " " + test::BatchProgram() + " -q -o " + Quote(out) + " " +
                        Quote(next)),
              0);
    EXPECT_EQ(Listing(out), "next.wav\n");
    EXPECT_EQ(Listing(tmp), "");
}

TEST(BatchInterrupt, CtrlCAtTheVeryEndOfAnMp3SaveIsEitherDoneOrLeavesNothing)
{
    // The encoder has written the whole file and is about to exit when Ctrl+C
    // comes: held there by a gate, then (three times) left to exit at once, so
    // the interrupt meets the save's last steps at different points.
    std::string in = test::WriteSineWav("end.wav", 44100, 2, 44100, 440, 300000);
    for (int run = 0; run < 4; ++run) {
        SCOPED_TRACE(run);
        const std::string n = std::to_string(run);
        std::string marks = TempPath("marks-end" + n), out = TempPath("out-end" + n), tmp = TempPath("tmp-end" + n);
        std::string log = TempPath("log-end" + n);
        ASSERT_TRUE(CreateFolders(marks) && CreateFolders(out) && CreateFolders(tmp));
        const std::string gate = run == 0 ? "while [ ! -e " + Quote(marks + "/go") + " ]; do sleep 0.02; done\n" : "";
        const std::string encoder = TempPath("enc-end" + n);
        test::WriteFileBytes(encoder, "#!/bin/sh\nkelvane-mp3el \"$@\" || exit $?\n: > " + Quote(marks + "/encoded") +
                                          "\n" + gate + "exit 0\n");
        ::chmod(encoder.c_str(), 0755);
        pid_t pid = StartAsFromATerminal("--set " + Quote("Components\\mp3el.Path=" + encoder) + " -f mp3 -o " +
                                             Quote(out) + " " + Quote(in),
                                         log, tmp);
        ASSERT_GT(pid, 0);
        ASSERT_TRUE(AwaitFile(marks + "/encoded", pid)) << test::ReadFileBytes(log);
        ::kill(-pid, SIGINT);
        test::WriteFileBytes(marks + "/go", "");
        const int code = ExitCode(pid);
        const std::string said = test::ReadFileBytes(log), listing = Listing(out);
        if (code == 0) {
            EXPECT_EQ(listing, "end.mp3\n") << said;
            EXPECT_EQ(said.find("cancelled"), std::string::npos) << said;
        } else {
            EXPECT_EQ(code, 1) << said;
            EXPECT_NE(said.find(": cancelled"), std::string::npos) << said;
            EXPECT_EQ(listing, "") << "cancelled, yet the file is there";
        }
        if (run == 0) {
            EXPECT_EQ(code, 1) << "a Cancel while the encoder has not ended cancels";
        }
        EXPECT_EQ(Listing(tmp), "");
    }
}
