#pragma once

// A TCP socket handle: -1 when closed. Closed when the object goes. One thread
// at a time.
class LIPSocket {
public:
    LIPSocket() = default;
    ~LIPSocket() { Close(); }
    LIPSocket(const LIPSocket&) = delete;
    LIPSocket& operator=(const LIPSocket&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    int Fd() const { return fd_; }
    // Takes `fd`, closing the one held.
    void Adopt(int fd);
    void Close();

private:
    int fd_ = -1;
};
