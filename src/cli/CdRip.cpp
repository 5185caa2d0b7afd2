#include "cli/CdRip.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "cd/LCDDBInfo.h"
#include "cd/LCDDrives.h"
#include "cd/LCDMedium.h"
#include "cd/LCDROMRipSectors.h"
#include "cd/LCDRipLog.h"
#include "cli/BatchRun.h"
#include "core/LFile.h"
#include "core/LProgressDialog.h"
#include "core/LSettings.h"
#include "core/LUi.h"
#include "formats/LGenSink.h"

namespace {

constexpr const char* kNoDrives =
    "No CD-ROM drives have been detected. If you do have a CD-ROM drive installed but see this message please read "
    "the Help topic relating to Loading CD Tracks.";

} // namespace

void CdFail(const std::string& text) { LUiGet().Message(text, "Error", LUiButtons::Ok, LUiIcon::Exclamation); }

bool CdCheckDrive(int32_t index)
{
    const int32_t count = LCDDrives::Count();
    if (count == 0) {
        CdFail(kNoDrives);
        return false;
    }
    if (index >= count) {
        CdFail("There is no CD drive " + std::to_string(index) + ": there " +
               (count == 1 ? "is 1 drive" : "are " + std::to_string(count) + " drives") +
               ", numbered from 0 (kelvane-cd drives lists them).");
        return false;
    }
    return true;
}

namespace {

// Reads the table of contents and, when asked, the titles. A job result.
int32_t LoadDisc(const CdOptions& options, LCDDBInfo& info)
{
    info.drive = uint8_t(options.drive);
    info.lookup = options.lookupGiven ? options.lookup : LCDDBLookup::Enabled();
    info.server = LCDDBLookup::Options::FromSettings();
    if (!options.cddb.empty())
        info.server.server = options.cddb;
    const int32_t r = RunJobOnWorker("Loading Track(s)", [&](LProgressDialog& d) { return LCDDBInfo::Process(d, info); });
    if (r == kJobFailed)
        CdFail(info.error.empty() ? "Cannot read the table of contents of " + LCDDrives::Label(options.drive) + "."
                                : info.error);
    if (info.lookup && !info.lookupNote.empty() && info.lookupNote != LCDDBLookup::kNoMatchMessage)
        std::fprintf(stderr, "kelvane-cd: CDDB: %s\n", info.lookupNote.c_str());
    return r;
}

std::string Lower(std::string s)
{
    for (char& c : s)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

} // namespace

bool ParseTrackList(const std::string& text, std::vector<int32_t>& tracks, std::string& error)
{
    tracks.clear();
    size_t at = 0;
    auto number = [](const std::string& s, int32_t& n) {
        if (s.empty() || s.size() > 2 || s.find_first_not_of("0123456789") != std::string::npos)
            return false;
        n = std::atoi(s.c_str());
        return n >= 1 && n <= 99;
    };
    while (at <= text.size()) {
        size_t end = text.find(',', at);
        if (end == std::string::npos)
            end = text.size();
        const std::string part = text.substr(at, end - at);
        const size_t dash = part.find('-');
        int32_t a = 0, b = 0;
        if (!number(part.substr(0, dash), a) || !number(dash == std::string::npos ? part : part.substr(dash + 1), b) ||
            b < a) {
            error = "-t wants track numbers like 1,3-5 (from 1 to 99), not \"" + text + "\"";
            return false;
        }
        for (int32_t n = a; n <= b; ++n)
            if (std::find(tracks.begin(), tracks.end(), n) == tracks.end())
                tracks.push_back(n);
        at = end + 1;
    }
    return true;
}

std::string TrackFileName(int32_t number, const std::string& title, const std::string& ext)
{
    char head[16];
    std::snprintf(head, sizeof head, "%02d - ", int(number));
    std::string name;
    for (char c : title)
        name += (static_cast<unsigned char>(c) < 0x20 || std::string("/\\:*?\"<>|").find(c) != std::string::npos) ? '_' : c;
    // Windows and FAT drop trailing dots and blanks.
    while (!name.empty() && (name.back() == '.' || name.back() == ' '))
        name.pop_back();
    if (name.empty())
        name = "Track";
    const size_t room = 255 - std::min<size_t>(255, std::string(head).size() + ext.size());
    if (name.size() > room) {
        size_t n = room;
        while (n > 0 && (static_cast<unsigned char>(name[n]) & 0xC0) == 0x80)
            --n;
        name.resize(n);
    }
    return head + name + ext;
}

int CdToc(const CdOptions& options)
{
    if (!CdCheckDrive(options.drive))
        return kExitFailed;
    LCDDBInfo info;
    const int32_t r = LoadDisc(options, info);
    if (r == kJobCancelled)
        return kExitCancelled;
    if (r != kJobDone)
        return kExitFailed;
    const LCDToc& toc = info.toc;
    const bool titled = !info.discTitle.empty();
    std::printf("%s (%s): %d %s, %s\n", LCDDrives::Label(options.drive).c_str(), info.driveName.c_str(),
                int(toc.count), toc.count == 1 ? "track" : "tracks",
                LCDMedium::Duration(toc.starts.back() - toc.starts.front()).c_str());
    if (titled)
        std::printf("%s\n", info.discTitle.c_str());
    std::printf("track  type   start      sectors  duration%s\n", titled ? "  title" : "");
    for (int32_t i = 0; i < toc.count; ++i) {
        std::printf("%5d  %-5s  %-9d  %7d  %8s", int(toc.firstTrack + i), toc.IsData(i) ? "data" : "audio",
                    int(toc.starts[size_t(i)]), int(toc.Sectors(i)), LCDMedium::Duration(toc.Sectors(i)).c_str());
        std::printf(titled ? "  %s\n" : "\n", info.tracks[size_t(i)].name.c_str());
    }
    std::printf("lead-out      %d\n", int(toc.starts.back()));
    std::printf("CDDB disc id:        %s\n", info.cddbId.c_str());
    std::printf("MusicBrainz disc id: %s\n", info.musicBrainzId.c_str());
    return kExitDone;
}

int CdRip(const CdOptions& options)
{
    const std::string ext = Lower(options.format);
    if (!LGenSinkIsSupported(ext)) {
        CdFail("kelvane-cd cannot write \"" + options.format + "\" files; -f takes the types kelvane-batch writes (" +
             "wav, mp3, ogg, flac, aiff, au, ...).");
        return kExitFailed;
    }
    if (!CdCheckDrive(options.drive))
        return kExitFailed;
    LCDDBInfo info;
    int32_t r = LoadDisc(options, info);
    if (r == kJobCancelled)
        return kExitCancelled;
    if (r != kJobDone)
        return kExitFailed;

    // The tracks to rip, by index into the disc's list.
    std::vector<size_t> chosen;
    const int32_t firstNumber = info.toc.firstTrack;
    if (options.tracks.empty()) {
        for (size_t i = 0; i < info.tracks.size(); ++i)
            if (!info.tracks[i].data)
                chosen.push_back(i);
    } else {
        for (int32_t n : options.tracks) {
            const int32_t i = n - firstNumber;
            if (i < 0 || i >= int32_t(info.tracks.size())) {
                CdFail("The disc in " + LCDDrives::Label(options.drive) + " has no track " + std::to_string(n) +
                     " (it has tracks " + std::to_string(firstNumber) + " to " +
                     std::to_string(firstNumber + int32_t(info.tracks.size()) - 1) + ").");
                return kExitFailed;
            }
            if (info.tracks[size_t(i)].data) {
                CdFail("Track " + std::to_string(n) + " is a data track: it holds no audio to rip.");
                return kExitFailed;
            }
            chosen.push_back(size_t(i));
        }
    }
    if (chosen.empty()) {
        CdFail("The disc in " + LCDDrives::Label(options.drive) + " has no audio tracks.");
        return kExitFailed;
    }
    if (!FolderExists(options.outputDir) && !CreateFolders(options.outputDir)) {
        CdFail("Cannot create the folder \"" + options.outputDir + "\" for the tracks.");
        return kExitFailed;
    }
    LCDRipLog log;
    log.drive = LCDDrives::Label(options.drive) + " (" + info.driveName + ")";
    log.readOffset = LCDROMRipSectors::ReadOffsetSetting();
    log.secure = options.secure;
    log.cddbId = info.cddbId;
    log.musicBrainzId = info.musicBrainzId;
    log.discTitle = info.discTitle;
    int status = kExitDone;
    for (size_t i : chosen) {
        const LCDTrackRecord& track = info.tracks[i];
        LCDRipLog::Track entry;
        entry.number = firstNumber + int32_t(i);
        entry.name = track.name;
        entry.start = track.start;
        LCutListAudio audio;
        LCDROMRipSectors::Data rip =
            LCDROMRipSectors::ForTrack(info, i, audio.OpenSink(44100, 2), options.secure, log.readOffset);
        entry.result = RunJobOnWorker("Import CD Track(s)",
                                      [&](LProgressDialog& d) { return LCDROMRipSectors::Process(d, rip); });
        rip.sink.Reset();
        entry.report = rip.report;
        const std::string file = TrackFileName(entry.number, track.name, ext);
        if (entry.result == kJobDone) {
            std::string notice;
            const int32_t saved = SaveAudio(audio, FilePathCat(options.outputDir, file), &notice);
            if (saved == kJobDone) {
                entry.file = file;
                if (!notice.empty())
                    std::fprintf(stderr, "%s: %s\n", file.c_str(), notice.c_str());
            } else {
                entry.result = saved;
                entry.report.error = "the file could not be saved";
            }
        }
        log.tracks.push_back(entry);
        std::printf("%s  AccurateRip v1 %s  v2 %s  %s\n", entry.file.empty() ? file.c_str() : entry.file.c_str(),
                    LCDRipLog::Hex(entry.report.accurateRipV1).c_str(),
                    LCDRipLog::Hex(entry.report.accurateRipV2).c_str(), LCDRipLog::Outcome(entry).c_str());
        std::fflush(stdout);
        if (entry.result == kJobCancelled) {
            status = kExitCancelled;
            break;
        }
        if (entry.result != kJobDone || !entry.report.unreadable.empty())
            status = kExitFailed;
    }
    std::string error;
    const std::string logPath = FilePathCat(options.outputDir, "rip.log");
    if (!log.Write(logPath, error)) {
        CdFail(error);
        return status == kExitCancelled ? status : kExitFailed;
    }
    return status;
}
