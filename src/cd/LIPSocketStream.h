#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "cd/LIPSocket.h"

class LProgressDialog;

// A line-oriented TCP exchange for a job: every wait runs in short slices that
// check the job's Cancel, and is bounded by a time-out. Results as jobs give
// them: 0 done, 1 cancelled, 2 failed (LastError() says why). The socket is
// non-blocking; names are resolved with getaddrinfo (IPv4 and IPv6). Used from
// the job's thread only.
class LIPSocketStream {
public:
    // Connects to `host` (a name or a numeric address, IPv4 or IPv6) on `port`,
    // trying each address the name has. An empty wait of 200 ms takes 200 ms
    // from `timeoutMs`; at 0 the connect fails. Every failure closes the socket.
    int32_t ProcessConnect(LProgressDialog& dialog, const std::string& host, bool noDelay, int32_t timeoutMs,
                           uint16_t port);
    // Receives one line: the line feed ends it and is not kept, carriage returns
    // are dropped, and of a longer line only the first kMaxLine characters are
    // kept (the rest up to its line feed is read and dropped). Waits in slices
    // of at most 300 ms; empty ones take their time from `timeoutMs`. A peer
    // that closes before the line feed fails the line.
    int32_t ProcessRecvLine(LProgressDialog& dialog, std::string& line, int32_t timeoutMs);
    // Sends `length` bytes in pieces of at most 1024, checking Cancel before
    // each; a socket that cannot take more is waited for in slices of 200 ms,
    // each empty one taking 200 ms from `timeoutMs`.
    int32_t ProcessSend(LProgressDialog& dialog, const void* bytes, size_t length, int32_t timeoutMs);
    int32_t ProcessSendString(LProgressDialog& dialog, const std::string& text, int32_t timeoutMs)
    {
        return ProcessSend(dialog, text.data(), text.size(), timeoutMs);
    }
    void Close();
    bool IsOpen() const { return socket_.IsOpen(); }
    const std::string& LastError() const { return error_; }

    static constexpr int32_t kMaxLine = 259;
    static constexpr int32_t kConnectSliceMs = 200;
    static constexpr int32_t kReceiveSliceMs = 300;
    static constexpr int32_t kSendSliceMs = 200;
    static constexpr size_t kSendPiece = 1024;

private:
    // Waits for `events` on the socket in slices; 0 ready, 1 cancelled, 2 timed out or failed.
    int32_t WaitFor(LProgressDialog& dialog, short events, int32_t sliceMs, int32_t& budgetMs, const char* what);
    int32_t Fail(const std::string& why);

    LIPSocket socket_;
    std::string pending_;  // received bytes after the last line returned
    std::string error_;
};
