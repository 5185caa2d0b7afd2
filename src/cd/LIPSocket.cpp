#include "cd/LIPSocket.h"

#include <unistd.h>

void LIPSocket::Adopt(int fd)
{
    Close();
    fd_ = fd;
}

void LIPSocket::Close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}
