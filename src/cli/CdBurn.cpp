#include "cli/CdBurn.h"

#include <cstdio>
#include <cstdlib>

#include "cd/LCDBurnDlgModel.h"
#include "cd/LCDDrives.h"
#include "cd/LCDRecorder.h"
#include "cd/LSCSI.h"
#include "core/LProgressDialog.h"

namespace {

enum : int { kExitDone = 0, kExitCancelled = 1, kExitFailed = 2 };

} // namespace

int CdBurn(const CdOptions& options)
{
    if (!CdCheckDrive(options.drive))
        return kExitFailed;
    LCDBurnDlgModel model;
    model.settings = options.burn;
    model.settings.drive = uint8_t(options.drive);
    model.albumTitle = options.title;
    uint8_t askOnce = 1;
    for (const std::string& file : options.files)
        if (!model.AddFile(file, &askOnce))
            return kExitFailed;
    const int32_t r = model.Burn();
    if (r == kJobDone && !model.LastRun().trackStarts.empty())
        std::printf("%s: %d %s written, %s in all\n", LCDDrives::Label(options.drive).c_str(),
                    int(model.Tracks().size()), model.Tracks().size() == 1 ? "track" : "tracks",
                    model.TotalText().c_str());
    return r == kJobDone ? kExitDone : r == kJobCancelled ? kExitCancelled : kExitFailed;
}

int CdBlank(const CdOptions& options)
{
    const int32_t index = options.drive;
    if (!CdCheckDrive(index))
        return kExitFailed;
    std::string error;
    const int32_t r = RunJobOnWorker("Erasing CD-RW", [&](LProgressDialog& progress) {
        progress.SetText("Checking drive and CD", 0);
        progress.SetText("Please wait...", 1);
        LSCSI scsi;
        if (!scsi.OpenCDROMDrive(uint8_t(index))) {
            error = scsi.OpenError();
            return int32_t(kScsiFailed);
        }
        LCDRecorder recorder(scsi, &progress);
        recorder.LoadOrEject(true);
        LCDDiscInformation info;
        int32_t result = recorder.ReadDiscInformation(info);
        if (result == kScsiFailed && recorder.WaitUntilReady(5000) == kScsiOk)
            result = recorder.ReadDiscInformation(info);
        if (result != kScsiOk) {
            error = "There is no CD in " + LCDDrives::Label(index) + " (" + scsi.LastError() + ").";
            return result;
        }
        if (!info.Erasable()) {
            error = "The disc in " + LCDDrives::Label(index) + " is not a CD-RW: it cannot be erased.";
            return int32_t(kScsiFailed);
        }
        // Erasing is one command the drive carries out on its own: it is not cancelled halfway.
        recorder.SetCancellable(false);
        result = recorder.Blank();
        if (result != kScsiOk)
            error = "There was an error erasing the CD-RW. Please try another disk or try using a lower speed.";
        return result;
    });
    if (r == kScsiCancelled)
        return kExitCancelled;
    if (r != kScsiOk) {
        CdFail(error);
        return kExitFailed;
    }
    std::printf("%s: the CD-RW is blank\n", LCDDrives::Label(index).c_str());
    return kExitDone;
}

bool ParseCdSpeed(const std::string& text, uint16_t& speed)
{
    if (text == "max") {
        speed = LCDBurnSettings::kMaxSpeed;
        return true;
    }
    std::string digits = text;
    if (!digits.empty() && (digits.back() == 'x' || digits.back() == 'X'))
        digits.pop_back();
    if (digits.empty() || digits.size() > 3 || digits.find_first_not_of("0123456789") != std::string::npos ||
        std::atoi(digits.c_str()) == 0)
        return false;
    speed = uint16_t(std::atoi(digits.c_str()));
    return true;
}
