#include "cd/LIPSocketStream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "core/LProgressDialog.h"

int32_t LIPSocketStream::Fail(const std::string& why)
{
    error_ = why;
    Close();
    return kJobFailed;
}

void LIPSocketStream::Close()
{
    socket_.Close();
    pending_.clear();
}

int32_t LIPSocketStream::WaitFor(LProgressDialog& dialog, short events, int32_t sliceMs, int32_t& budgetMs,
                                 const char* what)
{
    for (;;) {
        if (dialog.IsCancelled()) {
            error_ = "cancelled";
            return kJobCancelled;
        }
        if (budgetMs <= 0) {
            error_ = std::string("no answer while ") + what;
            return kJobFailed;
        }
        pollfd p{socket_.Fd(), events, 0};
        const int n = ::poll(&p, 1, std::min(sliceMs, budgetMs));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            error_ = std::string("poll: ") + std::strerror(errno);
            return kJobFailed;
        }
        if (n > 0)
            return kJobDone;
        budgetMs -= std::min(sliceMs, budgetMs);
    }
}

int32_t LIPSocketStream::ProcessConnect(LProgressDialog& dialog, const std::string& host, bool noDelay,
                                        int32_t timeoutMs, uint16_t port)
{
    Close();
    error_.clear();
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const int gai = ::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
    if (gai != 0)
        return Fail("cannot find the host \"" + host + "\": " + ::gai_strerror(gai));
    int32_t budget = timeoutMs;
    int32_t result = kJobFailed;
    for (addrinfo* a = found; a; a = a->ai_next) {
        const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) {
            error_ = std::string("socket: ") + std::strerror(errno);
            continue;
        }
        socket_.Adopt(fd);
        if (noDelay) {
            const int one = 1;
            ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        }
        if (::connect(fd, a->ai_addr, a->ai_addrlen) == 0) {
            result = kJobDone;
            break;
        }
        if (errno != EINPROGRESS) {
            error_ = "cannot connect to " + host + ":" + std::to_string(port) + ": " + std::strerror(errno);
            socket_.Close();
            continue;
        }
        result = WaitFor(dialog, POLLOUT, kConnectSliceMs, budget, "connecting");
        if (result == kJobDone) {
            int problem = 0;
            socklen_t size = sizeof problem;
            ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &problem, &size);
            if (problem == 0)
                break;
            error_ = "cannot connect to " + host + ":" + std::to_string(port) + ": " + std::strerror(problem);
            result = kJobFailed;
        }
        socket_.Close();
        if (result == kJobCancelled || budget <= 0)
            break;
    }
    ::freeaddrinfo(found);
    if (result != kJobDone)
        socket_.Close();
    return result;
}

int32_t LIPSocketStream::ProcessRecvLine(LProgressDialog& dialog, std::string& line, int32_t timeoutMs)
{
    line.clear();
    if (!socket_.IsOpen())
        return Fail("not connected");
    int32_t budget = timeoutMs;
    for (;;) {
        // What has arrived already, byte by byte.
        size_t used = 0;
        bool ended = false;
        for (; used < pending_.size(); ++used) {
            const char c = pending_[used];
            if (c == '\n') {
                ended = true;
                ++used;
                break;
            }
            if (c != '\r' && line.size() < size_t(kMaxLine))
                line += c;
        }
        pending_.erase(0, used);
        if (ended)
            return kJobDone;
        const int32_t waited = WaitFor(dialog, POLLIN, kReceiveSliceMs, budget, "waiting for the server's answer");
        if (waited != kJobDone) {
            if (waited == kJobFailed)
                Close();
            return waited;
        }
        char chunk[1024];
        const ssize_t n = ::recv(socket_.Fd(), chunk, sizeof chunk, 0);
        if (n == 0)
            return Fail("the server closed the connection");
        if (n < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
                continue;
            return Fail(std::string("receive: ") + std::strerror(errno));
        }
        pending_.append(chunk, size_t(n));
    }
}

int32_t LIPSocketStream::ProcessSend(LProgressDialog& dialog, const void* bytes, size_t length, int32_t timeoutMs)
{
    if (!socket_.IsOpen())
        return Fail("not connected");
    const char* p = static_cast<const char*>(bytes);
    int32_t budget = timeoutMs;
    while (length > 0) {
        if (dialog.IsCancelled()) {
            error_ = "cancelled";
            return kJobCancelled;
        }
        const ssize_t n = ::send(socket_.Fd(), p, std::min(length, kSendPiece), MSG_NOSIGNAL);
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
            return Fail(std::string("send: ") + std::strerror(errno));
        const size_t sent = n > 0 ? size_t(n) : 0;
        p += sent;
        length -= sent;
        if (length == 0)
            break;
        if (sent < std::min(length + sent, kSendPiece)) {
            const int32_t waited = WaitFor(dialog, POLLOUT, kSendSliceMs, budget, "sending");
            if (waited != kJobDone) {
                if (waited == kJobFailed)
                    Close();
                return waited;
            }
        }
    }
    return kJobDone;
}
