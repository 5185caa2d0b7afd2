#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "cd/LScsiClock.h"
#include "cd/LScsiCommand.h"
#include "cd/LMmcCommands.h"
#include "cd/LScsiTransport.h"

class LProgressDialog;

// Results of the transport: 0 success, 1 cancelled (only with a progress dialog
// whose Cancel was pressed), 2 failure.
enum : int32_t { kScsiOk = 0, kScsiCancelled = 1, kScsiFailed = 2 };

// Sends SCSI/MMC command blocks to one CD drive and waits for them. On Linux the
// only transport to a real drive is the kernel's SG_IO pass-through (there is no
// ASPI layer to choose instead); a virtual drive stands behind the same
// interface. Drives are
// addressed by their index in LCDDrives (real drives first, then virtual ones).
// One command is in flight at a time: the command and its completion event are
// members. Used from one thread at a time (a job's); never shows a message: the
// callers decide what to tell the user, with LastError() to say why.
class LSCSI {
public:
    LSCSI();
    ~LSCSI();
    LSCSI(const LSCSI&) = delete;
    LSCSI& operator=(const LSCSI&) = delete;

    // Number of CD drives, real and virtual (at most 255).
    static uint8_t GetCDROMDriveCount();
    // Opens the index-th drive, closing any open one first. False when there is
    // no such drive or it cannot be opened; OpenError() then says why.
    bool OpenCDROMDrive(uint8_t index);
    // Opens a drive through a transport already made (tests, a device path).
    void Open(std::shared_ptr<LScsiTransport> transport);
    void Close();
    bool IsOpen() const { return transport_ != nullptr; }
    const std::string& OpenError() const { return openError_; }
    // The open drive's device or virtual entry; empty when closed.
    std::string DriveName() const;

    // Starts one command: `direction` kScsiRead or kScsiWrite, `length` bytes at
    // `buffer` (which must stay valid until the command is complete), a command
    // block of `cdbLength` (at most 16) bytes. 0 when started or already done,
    // 2 when it could not be issued. A command still in flight is abandoned.
    int32_t ExecuteCommandAsync(uint8_t direction, uint32_t length, void* buffer, const uint8_t* cdb,
                                uint8_t cdbLength);
    // Waits up to `timeoutMs` for the command started last, in slices that poll
    // `progress` for Cancel (when given), and judges its outcome: 0 success, 1
    // cancelled, 2 failure or time-out. A cancelled or timed-out command is
    // abandoned: its buffer is free again.
    int32_t WaitCommand(int32_t timeoutMs, LProgressDialog* progress = nullptr);
    // The event set when the command started last completes.
    LWaitable& Completion() { return command_.done; }

    // Runs one command and waits for it with a budget of `timeoutMs`. A drive
    // answering BUSY is asked again every 500 ms, each retry taking 500 ms from
    // the budget, until the budget is spent. 0 success, 1 cancelled, 2 failure.
    int32_t ExecuteCommand(uint8_t direction, int32_t timeoutMs, uint32_t length, void* buffer, const uint8_t* cdb,
                           uint8_t cdbLength, LProgressDialog* progress = nullptr);

    // The same with a command block from LMmcCommands.
    int32_t ExecuteCommand(uint8_t direction, int32_t timeoutMs, uint32_t length, void* buffer, const LCdb& cdb,
                           LProgressDialog* progress = nullptr)
    {
        return ExecuteCommand(direction, timeoutMs, length, buffer, cdb.bytes, cdb.length, progress);
    }

    // Loads (closes the tray) or ejects the open drive: START STOP UNIT
    // (1B 00 00 00 03/02 00), no data, 10000 ms. 0 success, 2 failure.
    int32_t LoadOrEject(bool load, LProgressDialog* progress = nullptr);
    // The same on the index-th drive, opened for the purpose.
    static int32_t LoadOrEject(uint8_t index, bool load);

    // The outcome of the command that ran last.
    uint8_t Status() const { return command_.status; }
    LScsiSense Sense() const { return LScsiSense::From(command_.sense, command_.senseLength); }
    // Why the last command failed, in words: the drive's answer
    // ("CHECK CONDITION 02/3A/00: no disc in the drive"), a transport fault, or a time-out.
    const std::string& LastError() const { return lastError_; }

    // Waiting goes through `clock` (not owned; nullptr restores real time).
    void SetClock(LScsiClock* clock) { clock_ = clock ? clock : &LScsiRealClock(); }
    // The clock waits go through, for callers that pause between commands.
    LScsiClock& Clock() const { return *clock_; }

    // A completed command succeeded: GOOD status, or a failed status whose sense
    // key, code and qualifier are all zero (drives that report CHECK CONDITION
    // without a reason have done the work). BUSY is never a success.
    static bool Succeeded(const LScsiCommand& command);

    static constexpr int32_t kBusyRetryMs = 500;
    static constexpr int32_t kWaitSliceMs = 100;

private:
    int32_t Judge();

    std::shared_ptr<LScsiTransport> transport_;
    LScsiCommand command_;
    bool inFlight_ = false;
    LScsiClock* clock_;
    std::string openError_;
    std::string lastError_;
};
