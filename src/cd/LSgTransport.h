#pragma once
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "cd/LScsiTransport.h"

// The system calls the SG_IO transport makes, replaceable so that tests can look
// at the sg_io_hdr_t it builds without a drive.
struct LSgSystem {
    std::function<int(const char* path, int flags)> open;
    std::function<int(int fd, unsigned long request, void* argument)> ioctl;
    std::function<int(int fd)> close;
    // The real calls.
    static LSgSystem Real();
};

// A real drive through Linux's SG_IO pass-through on its block device
// (/dev/srN). The ioctl blocks, so it runs on a worker thread of the transport:
// the waiting side stays free to poll Cancel and to give up at its time-out.
// Data goes through a buffer of the transport's own, so a command given up
// while the device still works on it can never write into the caller's memory.
class LSgTransport : public LScsiTransport {
public:
    explicit LSgTransport(LSgSystem system = LSgSystem::Real());
    ~LSgTransport() override;

    // Opens `device` for reading and writing, non-blocking (a drive without a
    // disc opens too); where that is refused, read-only, which is enough for
    // reading (the kernel lets only reading commands through then). False with
    // `error` naming the device, the system's reason and, for a permission
    // problem, the group to join.
    bool Open(const std::string& device, std::string& error);
    bool ReadOnly() const { return readOnly_; }

    bool Start(LScsiCommand& command) override;
    void Abandon() override;
    std::string Name() const override { return device_; }

    // The sense buffer handed to the kernel (at least the 14 bytes whose key,
    // code and qualifier are read).
    static constexpr uint8_t kSenseBytes = 32;
    // What the group of CD drives is called on Debian.
    static constexpr const char* kDriveGroup = "cdrom";

private:
    void Work();
    void Run(LScsiCommand& copy);

    LSgSystem system_;
    std::string device_;
    int fd_ = -1;
    bool readOnly_ = false;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::thread worker_;
    bool stop_ = false;
    bool busy_ = false;              // the worker holds a command
    LScsiCommand* current_ = nullptr; // the caller's command; null once abandoned
    std::vector<uint8_t> bounce_;
    LScsiCommand job_;               // the worker's copy of the command
};
