#include "cli/CdTool.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "cd/LCDDrives.h"
#include "cd/LCDMedium.h"
#include "cd/LCDToc.h"
#include "cd/LSCSI.h"
#include "core/LConsoleProgress.h"
#include "core/LConsoleUi.h"
#include "core/LProgressDialog.h"
#include "core/LVersion.h"

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
    const int32_t count = LCDDrives::Count();
    if (count == 0) {
        Fail(kNoDrives);
        return kExitFailed;
    }
    if (index >= count) {
        Fail("There is no CD drive " + std::to_string(index) + ": there " +
             (count == 1 ? "is 1 drive" : "are " + std::to_string(count) + " drives") +
             ", numbered from 0 (kelvane-cd drives lists them).");
        return kExitFailed;
    }
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

} // namespace

const char* CdUsage()
{
    return "Usage: kelvane-cd drives\n"
           "       kelvane-cd toc [-d N]\n"
           "\n"
           "The CD drives of this machine, then the virtual drives of the settings and of\n"
           "KELVANE_CD_DRIVES (comma-separated: a .cue or an .iso file, or cdr:FOLDER,\n"
           "cdr74:FOLDER, cdrw:FOLDER), numbered from 0.\n"
           "\n"
           "  drives      list the drives: number, device or image, vendor and model, disc\n"
           "  toc         list the tracks of the disc: start sector, length and duration\n"
           "  -d N        the drive to use (default 0)\n"
           "  -h, --help  show this text\n"
           "  --version   show the version\n"
           "\n"
           "Exit status: 0 done, 1 cancelled (Ctrl+C), 2 failed.\n";
}

int RunCdTool(const std::vector<std::string>& args)
{
    std::string command;
    int32_t drive = 0;
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
        if (a == "-d") {
            if (i + 1 >= args.size() || !ParseIndex(args[i + 1], drive))
                error = "-d wants a drive number (0, 1, ...)";
            ++i;
        } else if (command.empty() && (a == "drives" || a == "toc")) {
            command = a;
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
        std::fprintf(stderr, "kelvane-cd: which command? drives or toc\n\n%s", CdUsage());
        return kExitFailed;
    }
    CdUi ui;
    LUi* previous = &LUiGet();
    const bool ownUi = dynamic_cast<LConsoleUi*>(previous) != nullptr;
    if (ownUi)
        LUiSet(&ui);
    LConsoleProgress progress(false);
    LProgressSetBackend(&progress);
    const int status = command == "drives" ? Drives() : Toc(drive);
    LProgressSetBackend(nullptr);
    if (ownUi)
        LUiSet(nullptr);
    return status;
}
