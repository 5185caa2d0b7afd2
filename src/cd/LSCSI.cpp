#include "cd/LSCSI.h"

#include <algorithm>
#include <cstring>

#include "cd/LCDDrives.h"
#include "cd/LMmcCommands.h"
#include "core/LProgressDialog.h"

LSCSI::LSCSI() : clock_(&LScsiRealClock()) {}

LSCSI::~LSCSI() { Close(); }

uint8_t LSCSI::GetCDROMDriveCount() { return uint8_t(std::min<int32_t>(LCDDrives::Count(), 255)); }

bool LSCSI::OpenCDROMDrive(uint8_t index)
{
    Close();
    openError_.clear();
    std::shared_ptr<LScsiTransport> transport = LCDDrives::Open(index, openError_);
    if (!transport)
        return false;
    transport_ = std::move(transport);
    return true;
}

void LSCSI::Open(std::shared_ptr<LScsiTransport> transport)
{
    Close();
    openError_.clear();
    transport_ = std::move(transport);
}

void LSCSI::Close()
{
    if (transport_ && inFlight_)
        transport_->Abandon();
    inFlight_ = false;
    transport_.reset();
}

std::string LSCSI::DriveName() const { return transport_ ? transport_->Name() : std::string(); }

int32_t LSCSI::ExecuteCommandAsync(uint8_t direction, uint32_t length, void* buffer, const uint8_t* cdb,
                                   uint8_t cdbLength)
{
    lastError_.clear();
    if (!transport_) {
        lastError_ = "no drive is open";
        return kScsiFailed;
    }
    if (inFlight_) {
        transport_->Abandon();
        inFlight_ = false;
    }
    if (cdbLength == 0 || cdbLength > sizeof command_.cdb || (length && !buffer)) {
        lastError_ = "bad command block";
        return kScsiFailed;
    }
    command_.ResetOutcome();
    std::memset(command_.cdb, 0, sizeof command_.cdb);
    std::memcpy(command_.cdb, cdb, cdbLength);
    command_.cdbLength = cdbLength;
    command_.direction = direction;
    command_.buffer = static_cast<uint8_t*>(buffer);
    command_.length = length;
    if (!transport_->Start(command_)) {
        lastError_ = command_.error.empty() ? "the command could not be sent" : command_.error;
        return kScsiFailed;
    }
    inFlight_ = true;
    return kScsiOk;
}

int32_t LSCSI::WaitCommand(int32_t timeoutMs, LProgressDialog* progress)
{
    if (!transport_ || !inFlight_) {
        if (lastError_.empty())
            lastError_ = "no command was started";
        return kScsiFailed;
    }
    int32_t left = std::max(timeoutMs, 0);
    for (;;) {
        const int32_t slice = std::min(left, kWaitSliceMs);
        if (clock_->Wait(command_.done, slice))
            break;
        if (progress && progress->IsCancelled()) {
            transport_->Abandon();
            inFlight_ = false;
            lastError_ = "cancelled";
            return kScsiCancelled;
        }
        left -= slice;
        if (left <= 0 && !clock_->Wait(command_.done, 0)) {
            transport_->Abandon();
            inFlight_ = false;
            lastError_ = "the drive did not answer within " + std::to_string(timeoutMs) + " ms";
            return kScsiFailed;
        }
    }
    inFlight_ = false;
    return Judge();
}

bool LSCSI::Succeeded(const LScsiCommand& command)
{
    if (command.transportFailed)
        return false;
    if (command.status == kScsiGood)
        return true;
    if (command.status != kScsiCheckCondition)
        return false;
    return LScsiSense::From(command.sense, command.senseLength).IsZero();
}

int32_t LSCSI::Judge()
{
    if (Succeeded(command_))
        return kScsiOk;
    if (command_.transportFailed) {
        lastError_ = command_.error;
    } else if (command_.status == kScsiCheckCondition) {
        const LScsiSense s = Sense();
        lastError_ = "CHECK CONDITION " + s.Text();
        if (!s.Meaning().empty())
            lastError_ += ": " + s.Meaning();
    } else if (command_.status == kScsiBusy) {
        lastError_ = "the drive is busy";
    } else {
        char text[40];
        std::snprintf(text, sizeof text, "SCSI status 0x%02X", command_.status);
        lastError_ = text;
    }
    return kScsiFailed;
}

int32_t LSCSI::ExecuteCommand(uint8_t direction, int32_t timeoutMs, uint32_t length, void* buffer,
                              const uint8_t* cdb, uint8_t cdbLength, LProgressDialog* progress)
{
    int32_t budget = timeoutMs;
    for (;;) {
        int32_t r = ExecuteCommandAsync(direction, length, buffer, cdb, cdbLength);
        if (r != kScsiOk)
            return r;
        r = WaitCommand(budget, progress);
        if (r == kScsiOk || r == kScsiCancelled || command_.transportFailed || command_.status != kScsiBusy ||
            !command_.done.IsSet())
            return r;
        // A busy drive is asked again while the budget lasts.
        if (budget < 0)
            return kScsiFailed;
        budget -= kBusyRetryMs;
        clock_->Sleep(kBusyRetryMs);
        if (progress && progress->IsCancelled()) {
            lastError_ = "cancelled";
            return kScsiCancelled;
        }
    }
}

int32_t LSCSI::LoadOrEject(bool load, LProgressDialog* progress)
{
    const LCdb cdb = LMmcCommands::StartStop(load);
    return ExecuteCommand(kScsiRead, 10000, 0, nullptr, cdb.bytes, cdb.length, progress) == kScsiOk ? kScsiOk
                                                                                                : kScsiFailed;
}

int32_t LSCSI::LoadOrEject(uint8_t index, bool load)
{
    LSCSI scsi;
    if (!scsi.OpenCDROMDrive(index))
        return kScsiFailed;
    return scsi.LoadOrEject(load);
}
