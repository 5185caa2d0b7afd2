#include "core/LProcess.h"

#include "core/LFile.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

LProcess::~LProcess()
{
    CloseStdin();
    if (pid_ > 0 && !exited_ && !WaitFor(0)) {
        pid_t pid = pid_;
        std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
    }
}

bool LProcess::Start(const std::vector<std::string>& argv, bool pipeStdin, bool quiet, const std::string& outputPath)
{
    if (argv.empty() || pid_ > 0)
        return false;
    // A child that closes its input early must fail our writes, not kill us.
    std::signal(SIGPIPE, SIG_IGN);
    int fds[2] = {-1, -1};
    if (pipeStdin && pipe2(fds, O_CLOEXEC) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (pipeStdin)
        posix_spawn_file_actions_adddup2(&actions, fds[0], 0);
    else
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (!outputPath.empty()) {
        posix_spawn_file_actions_addopen(&actions, 1, outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
    } else if (quiet) {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    }
    // A process group of its own: Ctrl+C in a terminal reaches the whole foreground
    // group, and a child killed by it would look like a failure of the child. Only
    // our own cancel stops a child.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    int rc = posix_spawnp(&pid_, args[0], &actions, &attributes, args.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (pipeStdin)
        ::close(fds[0]);
    if (rc != 0) {
        pid_ = -1;
        if (pipeStdin)
            ::close(fds[1]);
        return false;
    }
    stdin_ = pipeStdin ? fds[1] : -1;
    if (stdin_ >= 0)
        fcntl(stdin_, F_SETPIPE_SZ, 65536);
    return true;
}

int32_t LProcess::WriteStdin(const void* data, int32_t bytes) { return WriteAll(stdin_, data, bytes); }

void LProcess::CloseStdin()
{
    if (stdin_ >= 0) {
        ::close(stdin_);
        stdin_ = -1;
    }
}

bool LProcess::WaitFor(int32_t ms)
{
    if (pid_ <= 0)
        return true;
    if (exited_)
        return true;
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(ms, 0));
    for (;;) {
        int status = 0;
        pid_t r = waitpid(pid_, &status, WNOHANG);
        if (r == pid_) {
            exited_ = true;
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
            return true;
        }
        if (r < 0 && errno != EINTR) {
            exited_ = true;
            return true;
        }
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

void LProcess::Stop()
{
    CloseStdin();
    if (pid_ <= 0 || WaitFor(0))
        return;
    ::kill(pid_, SIGTERM);
    if (!WaitFor(kStopWaitMs)) {
        ::kill(pid_, SIGKILL);
        WaitFor(kStopWaitMs);
    }
}

bool LProcess::Running() { return pid_ > 0 && !WaitFor(0); }

std::vector<std::string> SplitCommandLine(const std::string& line)
{
    std::vector<std::string> args;
    size_t i = 0;
    const size_t n = line.size();
    for (;;) {
        while (i < n && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        if (i >= n)
            return args;
        std::string arg;
        bool quoted = false;
        while (i < n && (quoted || (line[i] != ' ' && line[i] != '\t'))) {
            size_t slashes = 0;
            while (i < n && line[i] == '\\') {
                ++slashes;
                ++i;
            }
            if (i < n && line[i] == '"') {
                arg.append(slashes / 2, '\\');
                if (slashes % 2 == 1) {
                    arg += '"';
                } else if (quoted && i + 1 < n && line[i + 1] == '"') {
                    arg += '"';
                    ++i;
                } else {
                    quoted = !quoted;
                }
                ++i;
            } else {
                arg.append(slashes, '\\');
                if (i < n && (quoted || (line[i] != ' ' && line[i] != '\t')))
                    arg += line[i++];
            }
        }
        args.push_back(arg);
    }
}

std::string QuoteArgument(const std::string& text)
{
    std::string out = "\"";
    size_t slashes = 0;
    for (char c : text) {
        if (c == '\\') {
            ++slashes;
            continue;
        }
        if (c == '"') {
            out.append(slashes * 2 + 1, '\\');
            out += '"';
        } else {
            out.append(slashes, '\\');
            out += c;
        }
        slashes = 0;
    }
    out.append(slashes * 2, '\\');
    return out + "\"";
}
