#include "cd/LCDRipLog.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/LFile.h"
#include "core/LProgressDialog.h"
#include "core/LVersion.h"

std::string LCDRipLog::Time(int32_t sectors)
{
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d.%02d", int(sectors / (75 * 60)), int(sectors / 75 % 60),
                  int(sectors % 75));
    return text;
}

std::string LCDRipLog::Hex(uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%08X", unsigned(value));
    return text;
}

std::string LCDRipLog::Outcome(const Track& t)
{
    if (t.result == kJobCancelled)
        return "cancelled";
    if (t.result != kJobDone)
        return "failed: " + (t.report.error.empty() ? std::string("the drive could not read it") : t.report.error);
    const size_t bad = t.report.unreadable.size();
    if (bad == 0)
        return "no errors";
    std::string text = std::to_string(bad) + (bad == 1 ? " unreadable sector (" : " unreadable sectors (");
    for (size_t i = 0; i < bad; ++i) {
        if (i == 8) {
            text += ", ...";
            break;
        }
        text += (i ? ", " : "") + Time(t.report.unreadable[i] - t.start);
    }
    return text + ")";
}

std::string LCDRipLog::Text() const
{
    std::string s = std::string("Kelvane ") + kKelvaneVersion + " rip log\n\n";
    s += "Drive:                " + drive + "\n";
    s += "Read offset:          " + std::to_string(readOffset) + " samples\n";
    s += std::string("Mode:                 ") + (secure ? "secure (every sector read twice)" : "fast") + "\n";
    s += "CDDB disc id:         " + cddbId + "\n";
    s += "MusicBrainz disc id:  " + musicBrainzId + "\n";
    if (!discTitle.empty())
        s += "Disc:                 " + discTitle + "\n";
    for (const Track& t : tracks) {
        char head[32];
        std::snprintf(head, sizeof head, "\nTrack %02d  ", int(t.number));
        s += head + t.name + "\n";
        if (!t.file.empty())
            s += "  File:               " + t.file + "\n";
        s += "  AccurateRip v1:     " + Hex(t.report.accurateRipV1) + "\n";
        s += "  AccurateRip v2:     " + Hex(t.report.accurateRipV2) + "\n";
        s += "  Re-read sectors:    " + std::to_string(t.report.rereads) + "\n";
        s += "  Unreadable sectors: ";
        if (t.report.unreadable.empty()) {
            s += "none\n";
        } else {
            for (size_t i = 0; i < t.report.unreadable.size(); ++i)
                s += (i ? ", " : "") + Time(t.report.unreadable[i] - t.start) + " (LBA " +
                     std::to_string(t.report.unreadable[i]) + ")";
            s += "\n";
        }
        s += "  Result:             " + Outcome(t) + "\n";
    }
    return s;
}

bool LCDRipLog::Write(const std::string& path, std::string& error) const
{
    const std::string text = Text();
    LFile file;
    if (!file.Open(path, LFile::Mode::Create) || file.Write(text.data(), int32_t(text.size())) != int32_t(text.size())) {
        error = "The rip log \"" + path + "\" could not be written: " + std::strerror(errno) + ".";
        return false;
    }
    return true;
}
