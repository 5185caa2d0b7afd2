#include "cli/CdTool.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "cd/LCDBurnDlgModel.h"
#include "cd/LCDDrives.h"
#include "cd/LCDMedium.h"
#include "cd/LCDRecorder.h"
#include "cd/LCDToc.h"
#include "cd/LSCSI.h"
#include "core/LConsoleProgress.h"
#include "core/LConsoleUi.h"
#include "core/LProgressDialog.h"
#include "core/LVersion.h"
#include "core/LWorkerJob.h"

namespace {

enum : int { kExitDone = 0, kExitCancelled = 1, kExitFailed = 2 };

// What the rip dialog shows on a machine without drives.
constexpr const char* kNoDrives =
    "No CD-ROM drives have been detected. If you do have a CD-ROM drive installed but see this message please read "
    "the Help topic relating to Loading CD Tracks.";

// Messages as "kelvane-cd: text" on stderr; installed for the run when no other
// port is (tests install their own).
class CdUi : public LConsoleUi {
public:
    LUiAnswer MessageBox(const LUiMessage& message) override
    {
        std::fprintf(stderr, "kelvane-cd: %s\n", TerminalText(message.text).c_str());
        return message.buttons == LUiButtons::Ok ? LUiAnswer::Ok : LUiAnswer::Cancel;
    }
};

void Fail(const std::string& text) { LUiGet().Message(text, "Error", LUiButtons::Ok, LUiIcon::Exclamation); }

bool DriveExists(int32_t index);

bool ParseIndex(const std::string& text, int32_t& value)
{
    if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    value = std::atoi(text.c_str());
    return true;
}

std::string Pad(std::string text, size_t width)
{
    if (text.size() < width)
        text.append(width - text.size(), ' ');
    return text;
}

int Drives()
{
    const std::vector<LCDDrives::Info> drives = LCDDrives::List();
    if (drives.empty()) {
        std::fprintf(stderr, "kelvane-cd: no CD drives found (KELVANE_CD_DRIVES adds virtual ones)\n");
        return kExitDone;
    }
    std::vector<std::string> names, mediums;
    size_t deviceWidth = 0, nameWidth = 0;
    for (const LCDDrives::Info& d : drives) {
        std::string name = d.vendor + (d.vendor.empty() || d.model.empty() ? "" : " ") + d.model;
        std::string medium;
        if (!d.error.empty()) {
            medium = "cannot be used: " + d.error;
        } else {
            LSCSI scsi;
            medium = scsi.OpenCDROMDrive(uint8_t(d.index)) ? LCDMedium::Describe(scsi) : "cannot be used: " + scsi.OpenError();
        }
        deviceWidth = std::max(deviceWidth, d.device.size());
        nameWidth = std::max(nameWidth, name.size());
        names.push_back(name);
        mediums.push_back(medium);
    }
    for (size_t i = 0; i < drives.size(); ++i)
        std::printf("%d  %s  %s  %s\n", int(drives[i].index), Pad(drives[i].device, deviceWidth).c_str(),
                    Pad(names[i], nameWidth).c_str(), mediums[i].c_str());
    return kExitDone;
}

int Toc(int32_t index)
{
    if (!DriveExists(index))
        return kExitFailed;
    LCDToc toc;
    std::string name, error;
    const int32_t r = RunJob("Loading Track(s)", [&](LProgressDialog& progress) {
        progress.SetText("Loading Table of Contents", 0);
        progress.SetText("Please wait...", 1);
        LSCSI scsi;
        if (!scsi.OpenCDROMDrive(uint8_t(index))) {
            error = scsi.OpenError();
            return int32_t(kScsiFailed);
        }
        name = scsi.DriveName();
        const int32_t result = LCDToc::Read(scsi, toc, &progress);
        if (result == kScsiFailed)
            error = "Cannot read the table of contents of " + LCDDrives::Label(index) + " (" + name +
                    "): " + scsi.LastError() + ".";
        return result;
    });
    if (r == kScsiCancelled)
        return kExitCancelled;
    if (r != kScsiOk) {
        Fail(error);
        return kExitFailed;
    }
    std::printf("%s (%s): %d %s, %s\n", LCDDrives::Label(index).c_str(), name.c_str(), int(toc.count),
                toc.count == 1 ? "track" : "tracks",
                LCDMedium::Duration(toc.starts.back() - toc.starts.front()).c_str());
    std::printf("track  type   start      sectors  duration\n");
    for (int32_t i = 0; i < toc.count; ++i)
        std::printf("%5d  %-5s  %-9d  %7d  %8s\n", int(toc.firstTrack + i), toc.IsData(i) ? "data" : "audio",
                    int(toc.starts[size_t(i)]), int(toc.Sectors(i)), LCDMedium::Duration(toc.Sectors(i)).c_str());
    std::printf("lead-out      %d\n", int(toc.starts.back()));
    return kExitDone;
}

// The drive index given is one of the drives; else says so.
bool DriveExists(int32_t index)
{
    const int32_t count = LCDDrives::Count();
    if (count == 0) {
        Fail(kNoDrives);
        return false;
    }
    if (index >= count) {
        Fail("There is no CD drive " + std::to_string(index) + ": there " +
             (count == 1 ? "is 1 drive" : "are " + std::to_string(count) + " drives") +
             ", numbered from 0 (kelvane-cd drives lists them).");
        return false;
    }
    return true;
}

struct BurnOptions {
    LCDBurnSettings settings;
    std::string title;
    std::vector<std::string> files;
};

int Burn(const BurnOptions& options)
{
    LCDBurnDlgModel model;
    model.settings = options.settings;
    model.albumTitle = options.title;
    uint8_t askOnce = 1;
    for (const std::string& file : options.files)
        if (!model.AddFile(file, &askOnce))
            return kExitFailed;
    const int32_t r = model.Burn();
    if (r == kJobDone && !model.LastRun().trackStarts.empty())
        std::printf("%s: %d %s written, %s in all\n", LCDDrives::Label(options.settings.drive).c_str(),
                    int(model.Tracks().size()), model.Tracks().size() == 1 ? "track" : "tracks",
                    model.TotalText().c_str());
    return r == kJobDone ? kExitDone : r == kJobCancelled ? kExitCancelled : kExitFailed;
}

// Erases the CD-RW in drive `index` (a minimal blank).
int Blank(int32_t index)
{
    if (!DriveExists(index))
        return kExitFailed;
    std::string error;
    const int32_t r = RunWorkerJob("Erasing CD-RW", [&](LProgressDialog& progress) {
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
        Fail(error);
        return kExitFailed;
    }
    std::printf("%s: the CD-RW is blank\n", LCDDrives::Label(index).c_str());
    return kExitDone;
}

bool ParseSpeed(const std::string& text, uint16_t& speed)
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

} // namespace

const char* CdUsage()
{
    return "Usage: kelvane-cd drives\n"
           "       kelvane-cd toc [-d N]\n"
           "       kelvane-cd burn [-d N] [--speed X] [--dao] [--simulate] [--verify] [--erase]\n"
           "                       [--overburn] [--title TEXT] FILE...\n"
           "       kelvane-cd blank [-d N]\n"
           "\n"
           "The CD drives of this machine, then the virtual drives of the settings and of\n"
           "KELVANE_CD_DRIVES (comma-separated: a .cue or an .iso file, or cdr:FOLDER,\n"
           "cdr74:FOLDER, cdrw:FOLDER), numbered from 0.\n"
           "\n"
           "  drives      list the drives: number, device or image, vendor and model, disc\n"
           "  toc         list the tracks of the disc: start sector, length and duration\n"
           "  burn        write an audio CD, each FILE (any format Kelvane opens) a track,\n"
           "              with pauses of 2 seconds between tracks; the disc is closed and ejected\n"
           "  blank       erase the CD-RW in the drive\n"
           "  -d N        the drive to use (default 0)\n"
           "  --speed X   write speed factor (8, 16x, ...; default max, the drive's highest)\n"
           "  --dao       write the disc at once: no gaps between tracks, the file names\n"
           "              and --title as CD-TEXT\n"
           "  --simulate  a test write: the drive goes through the burn, writing nothing\n"
           "  --verify    read the tracks back and compare them with what was sent\n"
           "  --erase     erase a CD-RW that is not blank first\n"
           "  --overburn  write even when the tracks seem too long for the disc\n"
           "  --title T   the disc's title (CD-TEXT, with --dao)\n"
           "  -h, --help  show this text\n"
           "  --version   show the version\n"
           "\n"
           "Exit status: 0 done, 1 cancelled (Ctrl+C), 2 failed.\n";
}

int RunCdTool(const std::vector<std::string>& args)
{
    std::string command;
    int32_t drive = 0;
    BurnOptions burn;
    burn.settings = LCDBurnSettings();
    burn.settings.eraseCDRW = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-h" || a == "--help") {
            std::fputs(CdUsage(), stdout);
            return kExitDone;
        }
        if (a == "--version") {
            std::printf("kelvane-cd %s\n", kKelvaneVersion);
            return kExitDone;
        }
        std::string error;
        const bool burning = command == "burn";
        if (a == "-d") {
            if (i + 1 >= args.size() || !ParseIndex(args[i + 1], drive))
                error = "-d wants a drive number (0, 1, ...)";
            ++i;
        } else if (command.empty() && (a == "drives" || a == "toc" || a == "burn" || a == "blank")) {
            command = a;
        } else if (burning && a == "--speed") {
            if (i + 1 >= args.size() || !ParseSpeed(args[i + 1], burn.settings.speed))
                error = "--speed wants a speed factor (8, 16x, ...) or max";
            ++i;
        } else if (burning && a == "--title") {
            if (i + 1 >= args.size())
                error = "--title wants the disc's title";
            else
                burn.title = args[i + 1];
            ++i;
        } else if (burning && a == "--dao") {
            burn.settings.discAtOnce = true;
        } else if (burning && a == "--simulate") {
            burn.settings.simulate = true;
        } else if (burning && a == "--verify") {
            burn.settings.verify = true;
        } else if (burning && a == "--erase") {
            burn.settings.eraseCDRW = true;
        } else if (burning && a == "--overburn") {
            burn.settings.overburn = true;
        } else if (burning && (a.empty() || a[0] != '-' || a == "-")) {
            burn.files.push_back(a);
        } else {
            error = "unknown argument \"" + a + "\"";
        }
        if (error.empty() && command == "drives" && drive != 0)
            error = "drives takes no -d";
        if (!error.empty()) {
            std::fprintf(stderr, "kelvane-cd: %s\n\n%s", error.c_str(), CdUsage());
            return kExitFailed;
        }
    }
    if (command.empty()) {
        std::fprintf(stderr, "kelvane-cd: which command? drives, toc, burn or blank\n\n%s", CdUsage());
        return kExitFailed;
    }
    if (command == "burn" && burn.files.empty()) {
        std::fprintf(stderr, "kelvane-cd: burn wants the files to write as tracks\n\n%s", CdUsage());
        return kExitFailed;
    }
    CdUi ui;
    LUi* previous = &LUiGet();
    const bool ownUi = dynamic_cast<LConsoleUi*>(previous) != nullptr;
    if (ownUi)
        LUiSet(&ui);
    LConsoleProgress progress(false);
    LProgressSetBackend(&progress);
    int status = kExitFailed;
    if (command == "drives") {
        status = Drives();
    } else if (command == "toc") {
        status = Toc(drive);
    } else if (command == "blank") {
        status = Blank(drive);
    } else if (DriveExists(drive)) {
        burn.settings.drive = uint8_t(drive);
        status = Burn(burn);
    }
    LProgressSetBackend(nullptr);
    if (ownUi)
        LUiSet(nullptr);
    return status;
}
