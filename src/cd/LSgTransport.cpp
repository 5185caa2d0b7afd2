#include "cd/LSgTransport.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <scsi/sg.h>
#include <sys/ioctl.h>
#include <unistd.h>

LSgSystem LSgSystem::Real()
{
    LSgSystem s;
    s.open = [](const char* path, int flags) { return ::open(path, flags); };
    s.ioctl = [](int fd, unsigned long request, void* argument) { return ::ioctl(fd, request, argument); };
    s.close = [](int fd) { return ::close(fd); };
    return s;
}

LSgTransport::LSgTransport(LSgSystem system) : system_(std::move(system)) {}

LSgTransport::~LSgTransport()
{
    {
        std::unique_lock lock(mutex_);
        current_ = nullptr;
        stop_ = true;
    }
    wake_.notify_all();
    // A command the device still works on ends at the latest with its own time-out.
    if (worker_.joinable())
        worker_.join();
    if (fd_ >= 0)
        system_.close(fd_);
}

bool LSgTransport::Open(const std::string& device, std::string& error)
{
    device_ = device;
    fd_ = system_.open(device.c_str(), O_RDWR | O_NONBLOCK);
    int reason = errno;
    if (fd_ < 0 && (reason == EACCES || reason == EPERM || reason == EROFS)) {
        fd_ = system_.open(device.c_str(), O_RDONLY | O_NONBLOCK);
        if (fd_ >= 0)
            readOnly_ = true;
        else
            reason = errno;
    }
    if (fd_ >= 0)
        return true;
    error = "Cannot open the CD drive \"" + device + "\": " + std::strerror(reason) + ".";
    if (reason == EACCES || reason == EPERM)
        error += std::string(" Only members of the group \"") + kDriveGroup +
                 "\" may use CD drives: join it (sudo adduser $USER " + kDriveGroup + ") and log in again.";
    return false;
}

bool LSgTransport::Start(LScsiCommand& command)
{
    std::unique_lock lock(mutex_);
    // One command at a time: one given up earlier may still be with the device.
    wake_.wait(lock, [this] { return !busy_; });
    if (fd_ < 0) {
        command.transportFailed = true;
        command.error = "the drive is not open";
        command.done.Set();
        return false;
    }
    job_.ResetOutcome();
    std::memcpy(job_.cdb, command.cdb, sizeof job_.cdb);
    job_.cdbLength = command.cdbLength;
    job_.direction = command.direction;
    job_.length = command.length;
    job_.timeoutMs = command.timeoutMs;
    bounce_.assign(command.length, 0);
    if (command.length && command.direction == kScsiWrite)
        std::memcpy(bounce_.data(), command.buffer, command.length);
    job_.buffer = bounce_.data();
    current_ = &command;
    busy_ = true;
    if (!worker_.joinable())
        worker_ = std::thread([this] { Work(); });
    wake_.notify_all();
    return true;
}

void LSgTransport::Abandon()
{
    std::unique_lock lock(mutex_);
    current_ = nullptr;
}

void LSgTransport::Work()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stop_ || busy_; });
        if (!busy_)
            return;
        lock.unlock();
        Run(job_);
        lock.lock();
        if (current_) {
            LScsiCommand& c = *current_;
            c.status = job_.status;
            std::memcpy(c.sense, job_.sense, sizeof c.sense);
            c.senseLength = job_.senseLength;
            c.transportFailed = job_.transportFailed;
            c.error = job_.error;
            if (c.length && c.direction == kScsiRead)
                std::memcpy(c.buffer, bounce_.data(), c.length);
            current_ = nullptr;
            c.done.Set();
        }
        busy_ = false;
        wake_.notify_all();
    }
}

void LSgTransport::Run(LScsiCommand& c)
{
    sg_io_hdr_t h;
    std::memset(&h, 0, sizeof h);
    h.interface_id = 'S';
    h.dxfer_direction = c.length == 0 ? SG_DXFER_NONE : c.direction == kScsiWrite ? SG_DXFER_TO_DEV : SG_DXFER_FROM_DEV;
    h.cmd_len = c.cdbLength;
    h.mx_sb_len = kSenseBytes;
    h.dxfer_len = c.length;
    h.dxferp = c.length ? c.buffer : nullptr;
    h.cmdp = c.cdb;
    h.sbp = c.sense;
    h.timeout = c.timeoutMs;
    if (system_.ioctl(fd_, SG_IO, &h) < 0) {
        const int reason = errno;
        c.transportFailed = true;
        c.error = "SG_IO on \"" + device_ + "\" failed: " + std::strerror(reason);
        if (readOnly_ && (reason == EPERM || reason == EACCES))
            c.error += std::string(" (the drive is open read-only: join the group \"") + kDriveGroup +
                       "\" to write)";
        return;
    }
    c.status = h.status;
    c.senseLength = uint8_t(std::min<unsigned>(h.sb_len_wr, kSenseBytes));
    // The host adapter and the driver must both have delivered the command; the
    // driver's "sense" bit only says that sense data is there.
    if (h.host_status != 0 || (h.driver_status & 0x07) != 0) {
        c.transportFailed = true;
        char text[96];
        std::snprintf(text, sizeof text, "the command did not reach the drive (host status 0x%02X, driver status 0x%02X)",
                      h.host_status, h.driver_status);
        c.error = text;
    }
}
