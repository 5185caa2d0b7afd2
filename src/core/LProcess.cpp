#include "core/LProcess.h"

#include "core/LFile.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

// The file argv[0] names: itself when it holds a slash, else the first
// executable regular file of that name on PATH. Resolved before fork(), since
// the search allocates and the child may only make async-signal-safe calls.
std::string FindExecutable(const std::string& name)
{
    if (name.find('/') != std::string::npos)
        return name;
    const char* path = std::getenv("PATH");
    std::string dirs = path && *path ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    for (;;) {
        const size_t end = dirs.find(':', start);
        std::string dir = dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
        std::string candidate = FilePathCat(dir.empty() ? "." : dir, name);
        struct stat st;
        if (::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        if (end == std::string::npos)
            return {};
        start = end + 1;
    }
}

// Everything the child needs, prepared before fork().
struct ChildPlan {
    const char* program;
    char* const* args;
    char* const* env;
    pid_t parent;
    int input;   // becomes 0
    int output;  // becomes 1 and 2; -1 keeps ours
    int report;  // the errno of a failed exec is written here
    struct sigaction defaultAction;
};

// Runs in the child between fork() and exec: async-signal-safe calls only.
[[noreturn]] void RunChild(const ChildPlan& plan)
{
    for (int s = 1; s < NSIG; ++s)
        if (s != SIGKILL && s != SIGSTOP)
            sigaction(s, &plan.defaultAction, nullptr);
    setpgid(0, 0);
    // The parent may have died before the request took effect; then no signal
    // would ever come.
    if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != plan.parent)
        _exit(127);
    int error = 0;
    if (dup2(plan.input, 0) < 0 || (plan.output >= 0 && (dup2(plan.output, 1) < 0 || dup2(plan.output, 2) < 0))) {
        error = errno;
    } else {
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        execve(plan.program, plan.args, plan.env);
        error = errno;
    }
    ssize_t ignored = write(plan.report, &error, sizeof error);
    (void)ignored;
    _exit(127);
}

// `fd` moved above the standard descriptors (close-on-exec), so that putting
// one descriptor into place in the child cannot overwrite another; `extra`
// receives a descriptor the caller must close.
int AboveStandard(int fd, int& extra)
{
    if (fd < 0 || fd > 2)
        return fd;
    extra = fcntl(fd, F_DUPFD_CLOEXEC, 3);
    return extra;
}

void CloseIfOpen(int fd)
{
    if (fd >= 0)
        ::close(fd);
}

} // namespace

void LIgnoreWriteSignals()
{
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
}

std::string LChildPathArgument(const std::string& path)
{
    return !path.empty() && path[0] == '-' ? "./" + path : path;
}

LProcess::~LProcess()
{
    CloseStdin();
    if (pid_ > 0 && !exited_ && !WaitFor(0)) {
        pid_t pid = pid_;
        std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
    }
}

bool LProcess::Start(const std::vector<std::string>& argv, bool pipeStdin, bool quiet, int outputFd)
{
    if (argv.empty() || argv[0].empty() || pid_ > 0) {
        errno = EINVAL;
        return false;
    }
    // posix_spawn cannot ask for the parent-death signal, so this is fork and
    // exec, with everything the child needs made ready beforehand.
    const std::string program = FindExecutable(argv[0]);
    if (program.empty()) {
        errno = ENOENT;
        return false;
    }
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    int pipeFds[2] = {-1, -1}, report[2] = {-1, -1};
    if (pipeStdin && pipe2(pipeFds, O_CLOEXEC) != 0)
        return false;
    const int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    if (null < 0 || pipe2(report, O_CLOEXEC) != 0) {
        const int error = errno;
        CloseIfOpen(null);
        CloseIfOpen(pipeFds[0]);
        CloseIfOpen(pipeFds[1]);
        errno = error;
        return false;
    }
    int extraIn = -1, extraOut = -1;
    ChildPlan plan{};
    plan.program = program.c_str();
    plan.args = args.data();
    plan.env = environ;
    plan.parent = getpid();
    plan.input = AboveStandard(pipeStdin ? pipeFds[0] : null, extraIn);
    plan.output = AboveStandard(outputFd >= 0 ? outputFd : quiet ? null : -1, extraOut);
    plan.report = report[1];
    plan.defaultAction.sa_handler = SIG_DFL;
    sigemptyset(&plan.defaultAction.sa_mask);

    // No handler of ours may run in the child before it has reset them.
    sigset_t all, old;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &old);
    const pid_t pid = fork();
    if (pid == 0)
        RunChild(plan);
    const int forkError = errno;
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    for (int fd : {pipeFds[0], null, report[1], extraIn, extraOut})
        CloseIfOpen(fd);
    if (pid < 0) {
        CloseIfOpen(pipeFds[1]);
        ::close(report[0]);
        errno = forkError;
        return false;
    }
    // The report pipe closes on a successful exec; an errno in it means the exec failed.
    int childError = 0;
    ssize_t n;
    do {
        n = ::read(report[0], &childError, sizeof childError);
    } while (n < 0 && errno == EINTR);
    ::close(report[0]);
    if (n == ssize_t(sizeof childError)) {
        while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
        CloseIfOpen(pipeFds[1]);
        errno = childError;
        return false;
    }
    pid_ = pid;
    stdin_ = pipeFds[1];
    if (stdin_ >= 0) {
        // Writes never block: WriteStdin waits in poll() so that the wait can be cancelled.
        fcntl(stdin_, F_SETFL, fcntl(stdin_, F_GETFL) | O_NONBLOCK);
        fcntl(stdin_, F_SETPIPE_SZ, 65536);
    }
    return true;
}

int32_t LProcess::WriteStdin(const void* data, int32_t bytes, const std::function<bool()>& cancelled)
{
    if (stdin_ < 0 || bytes <= 0)
        return 0;
    const char* p = static_cast<const char*>(data);
    int32_t done = 0;
    while (done < bytes) {
        const ssize_t n = ::write(stdin_, p + done, size_t(bytes - done));
        if (n > 0) {
            done += int32_t(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            // The child has not read what the pipe holds. A child that is gone
            // wakes the poll with POLLERR and the next write fails with EPIPE.
            if (cancelled && cancelled())
                break;
            pollfd waiting{stdin_, POLLOUT, 0};
            if (::poll(&waiting, 1, 50) < 0 && errno != EINTR)
                break;
            continue;
        }
        break;
    }
    return done;
}

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
