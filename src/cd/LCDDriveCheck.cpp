#include "cd/LCDDriveCheck.h"

#include "cd/LSCSI.h"
#include "core/LProgressDialog.h"

uint16_t LCDDriveCheck::SpeedFor(uint16_t requested, uint16_t maxKBs)
{
    if (uint32_t(requested) * 177u > maxKBs)
        return uint16_t(maxKBs / 177);
    return requested;
}

int32_t LCDDriveCheck::Run(LSCSI& scsi, LProgressDialog* progress, const LCDBurnSettings& settings, Result& result,
                           std::string& message)
{
    if (progress) {
        progress->SetText("Checking drive and CD", 0);
        progress->SetText("Please wait...", 1);
    }
    if (!scsi.OpenCDROMDrive(settings.drive)) {
        message = kCannotAccess;
        return kScsiFailed;
    }
    LCDRecorder recorder(scsi, progress);
    if (recorder.LoadOrEject(true) == kScsiCancelled)
        return kScsiCancelled;
    uint8_t page5[52];
    int32_t r = recorder.ReadWriteParameters(page5);
    if (r == kScsiCancelled)
        return r;
    if (r != kScsiOk) {
        message = kCannotWrite;
        return kScsiFailed;
    }
    result.capabilities = LCDDriveCapabilities();
    r = recorder.ReadCapabilities(result.capabilities);
    if (r == kScsiCancelled)
        return r;
    if (r != kScsiOk)
        result.capabilities = LCDDriveCapabilities();  // CD-R writing at an unknown speed
    if (!result.capabilities.CanWriteCDR()) {
        message = kCannotWrite;
        return kScsiFailed;
    }
    result.speed = SpeedFor(settings.speed, result.capabilities.maxWriteSpeed);
    // A drive that will not change speed writes at its own.
    if (recorder.SetSpeed(result.speed) == kScsiCancelled)
        return kScsiCancelled;

    r = recorder.ReadDiscInformation(result.disc);
    if (r == kScsiFailed) {
        // A disc just loaded may still be spinning up.
        if (recorder.WaitUntilReady(5000) == kScsiCancelled)
            return kScsiCancelled;
        r = recorder.ReadDiscInformation(result.disc);
    }
    if (r == kScsiCancelled)
        return r;
    if (r != kScsiOk) {
        recorder.LoadOrEject(false);
        message = kNoDisc;
        return kScsiFailed;
    }
    if (result.disc.Erasable()) {
        if (!result.capabilities.CanWriteCDRW()) {
            message = kNoCDRW;
            return kScsiFailed;
        }
        if (!result.disc.Blank()) {
            if (!settings.eraseCDRW) {
                message = kNotBlankCDRW;
                return kScsiFailed;
            }
            r = recorder.Blank();
            if (r == kScsiCancelled)
                return r;
            if (r != kScsiOk) {
                message = kEraseFailed;
                return kScsiFailed;
            }
            if (progress)
                progress->SetText("Checking drive and CD", 0);
            // The capacity of the disc is read from it later: its information must be the blank disc's.
            if (recorder.ReadDiscInformation(result.disc) != kScsiOk)
                result.disc.status &= uint8_t(~0x03);
        }
    } else if (!result.disc.Blank()) {
        recorder.LoadOrEject(false);
        message = kWrittenCDR;
        return kScsiFailed;
    }
    return kScsiOk;
}
