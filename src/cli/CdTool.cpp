#include "cli/CdTool.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "cd/LCDDrives.h"
#include "cd/LCDMedium.h"
#include "cd/LSCSI.h"
#include "core/LConsoleProgress.h"
#include "cli/CdBurn.h"
#include "cli/CdData.h"
#include "cli/CdRip.h"
#include "core/LConsoleUi.h"
#include "core/LProgressDialog.h"
#include "core/LVersion.h"

namespace {

enum : int { kExitDone = 0, kExitCancelled = 1, kExitFailed = 2 };

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

} // namespace

const char* CdUsage()
{
    return "Usage: kelvane-cd drives\n"
           "       kelvane-cd toc [-d N] [--no-lookup] [--cddb HOST[:PORT]]\n"
           "       kelvane-cd rip [-d N] [-t 1,3-5] [-o DIR] [-f EXT] [--no-lookup] [--cddb HOST[:PORT]] [--fast]\n"
           "       kelvane-cd burn [-d N] [--speed X] [--dao] [--simulate] [--verify] [--erase]\n"
           "                       [--overburn] [--title TEXT] FILE...\n"
           "       kelvane-cd blank [-d N]\n"
           "       kelvane-cd iso -o IMAGE.iso [-V LABEL] [--no-rock-ridge] PATH...\n"
           "       kelvane-cd burn-data [-d N] [--speed X] [--simulate] [--erase] [--overburn]\n"
           "                            [-V LABEL] [--no-rock-ridge] PATH...\n"
           "\n"
           "The CD drives of this machine, then the virtual drives of the settings and of\n"
           "KELVANE_CD_DRIVES (comma-separated: a .cue or an .iso file, or cdr:FOLDER,\n"
           "cdr74:FOLDER, cdrw:FOLDER), numbered from 0.\n"
           "\n"
           "  drives      list the drives: number, device or image, vendor and model, disc\n"
           "  toc         list the tracks of the disc: start sector, length and duration,\n"
           "              the CDDB and MusicBrainz disc ids and, with a lookup, the titles\n"
           "  rip         rip audio tracks into files \"NN - Title.EXT\" with a rip.log\n"
           "              (AccurateRip checksums, re-read and unreadable sectors)\n"
           "  -d N        the drive to use (default 0)\n"
           "  -t LIST     the tracks to rip, like 1,3-5 (default every audio track)\n"
           "  -o DIR      the folder for the files (default the current one)\n"
           "  -f EXT      the type of the files, any kelvane-batch writes (default wav)\n"
           "  --no-lookup ask no CDDB server for the titles\n"
           "  --cddb HOST[:PORT]  the CDDB server (default the setting CDDB/Server,\n"
           "              gnudb.gnudb.org:8880)\n"
           "  --fast      read every sector once (default: secure, every sector twice,\n"
           "              sectors that differ again up to 16 times)\n"
           "  burn        write an audio CD, each FILE (any format Kelvane opens) a track,\n"
           "              with pauses of 2 seconds between tracks; the disc is closed and ejected\n"
           "  blank       erase the CD-RW in the drive\n"
           "  iso         write the files and folders as an ISO 9660 image (-o) with Joliet\n"
           "              names and Rock Ridge (POSIX names, permissions, times, links)\n"
           "  burn-data   write the files and folders onto a blank CD as a data disc\n"
           "  --speed X   write speed factor (8, 16x, ...; default max, the drive's highest)\n"
           "  --dao       write the disc at once: no gaps between tracks, the file names\n"
           "              and --title as CD-TEXT\n"
           "  --simulate  a test write: the drive goes through the burn, writing nothing\n"
           "  --verify    read the tracks back and compare them with what was sent\n"
           "  --erase     erase a CD-RW that is not blank first\n"
           "  --overburn  write even when the tracks seem too long for the disc\n"
           "  --title T   the disc's title (CD-TEXT, with --dao)\n"
           "  -V LABEL    the volume label of a data CD\n"
           "  --no-rock-ridge  only ISO 9660 and Joliet names; links are followed\n"
           "  -h, --help  show this text\n"
           "  --version   show the version\n"
           "\n"
           "The drive's read offset is the setting CD/ReadOffset, in samples.\n"
           "Exit status: 0 done (rip: every track without errors), 1 cancelled (Ctrl+C),\n"
           "2 failed (rip: a track had errors).\n";
}

int RunCdTool(const std::vector<std::string>& args)
{
    CdOptions o;
    // A burn from the terminal never erases a CD-RW unless asked to.
    o.burn.eraseCDRW = false;
    bool driveGiven = false;
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
        const bool hasValue = i + 1 < args.size();
        const std::string value = hasValue ? args[i + 1] : std::string();
        const bool burning = o.command == "burn" || o.command == "burn-data";
        const bool audio = o.command == "burn";
        const bool data = o.command == "iso" || o.command == "burn-data";
        if (a == "-d") {
            if (!hasValue || !ParseIndex(value, o.drive))
                error = "-d wants a drive number (0, 1, ...)";
            driveGiven = true;
            ++i;
        } else if (a == "-t") {
            if (!hasValue)
                error = "-t wants track numbers like 1,3-5";
            else
                ParseTrackList(value, o.tracks, error);
            ++i;
        } else if (a == "-o" && o.command == "iso") {
            if (!hasValue || value.empty())
                error = "-o wants the image file to write";
            o.image = value;
            ++i;
        } else if (a == "-o") {
            if (!hasValue || value.empty())
                error = "-o wants a folder";
            o.outputDir = value;
            ++i;
        } else if (a == "-f") {
            if (!hasValue || value.empty())
                error = "-f wants a file type (wav, flac, mp3, ...)";
            o.format = value[0] == '.' ? value : "." + value;
            ++i;
        } else if (a == "--cddb") {
            if (!hasValue || value.empty())
                error = "--cddb wants a server, HOST or HOST:PORT";
            o.cddb = value;
            o.lookup = o.lookupGiven = true;
            ++i;
        } else if (a == "--no-lookup") {
            o.lookup = false;
            o.lookupGiven = true;
        } else if (a == "--fast") {
            o.secure = false;
        } else if (o.command.empty() && (a == "drives" || a == "toc" || a == "rip" || a == "burn" || a == "blank" ||
                                         a == "iso" || a == "burn-data")) {
            o.command = a;
        } else if (data && a == "-V") {
            if (!hasValue)
                error = "-V wants the volume label";
            o.label = value;
            ++i;
        } else if (data && a == "--no-rock-ridge") {
            o.rockRidge = false;
        } else if (burning && a == "--speed") {
            if (!hasValue || !ParseCdSpeed(value, o.burn.speed))
                error = "--speed wants a speed factor (8, 16x, ...) or max";
            ++i;
        } else if (audio && a == "--title") {
            if (!hasValue)
                error = "--title wants the disc's title";
            o.title = value;
            ++i;
        } else if (audio && a == "--dao") {
            o.burn.discAtOnce = true;
        } else if (burning && a == "--simulate") {
            o.burn.simulate = true;
        } else if (audio && a == "--verify") {
            o.burn.verify = true;
        } else if (burning && a == "--erase") {
            o.burn.eraseCDRW = true;
        } else if (burning && a == "--overburn") {
            o.burn.overburn = true;
        } else if ((audio || data) && (a.empty() || a[0] != '-' || a == "-")) {
            o.files.push_back(a);
        } else {
            error = "unknown argument \"" + a + "\"";
        }
        if (error.empty() && !o.command.empty()) {
            const bool rip = o.command == "rip", toc = o.command == "toc";
            if ((o.command == "drives" || o.command == "iso") && driveGiven)
                error = o.command + " takes no -d";
            else if (!rip && (!o.tracks.empty() || (a == "-o" && o.command != "iso") || a == "-f" || a == "--fast"))
                error = o.command + " takes no " + a;
            else if (!rip && !toc && (a == "--cddb" || a == "--no-lookup"))
                error = o.command + " takes no " + a;
        }
        if (!error.empty()) {
            std::fprintf(stderr, "kelvane-cd: %s\n\n%s", error.c_str(), CdUsage());
            return kExitFailed;
        }
    }
    if (o.command.empty()) {
        std::fprintf(stderr, "kelvane-cd: which command? drives, toc, rip, burn, blank, iso or burn-data\n\n%s",
                     CdUsage());
        return kExitFailed;
    }
    if (o.command == "iso" && o.image.empty()) {
        std::fprintf(stderr, "kelvane-cd: iso wants the image file (-o IMAGE.iso)\n\n%s", CdUsage());
        return kExitFailed;
    }
    if ((o.command == "iso" || o.command == "burn-data") && o.files.empty()) {
        std::fprintf(stderr, "kelvane-cd: %s wants the files and folders to write\n\n%s", o.command.c_str(),
                     CdUsage());
        return kExitFailed;
    }
    if (o.command == "burn" && o.files.empty()) {
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
    const int status = o.command == "drives" ? Drives()
                       : o.command == "toc"  ? CdToc(o)
                       : o.command == "rip"  ? CdRip(o)
                       : o.command == "burn" ? CdBurn(o)
                       : o.command == "iso" || o.command == "burn-data" ? CdWriteData(o)
                                             : CdBlank(o);
    LProgressSetBackend(nullptr);
    if (ownUi)
        LUiSet(nullptr);
    return status;
}
