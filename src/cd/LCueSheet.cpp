#include "cd/LCueSheet.h"

#include <cctype>
#include <strings.h>

#include "cd/LCDAddress.h"

namespace {

bool Same(const std::string& a, const char* b) { return strcasecmp(a.c_str(), b) == 0; }

// Splits a line into words; a word in double quotes may hold spaces. False on an
// unclosed quote.
bool Words(const std::string& line, std::vector<std::string>& words)
{
    words.clear();
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        if (i >= line.size())
            break;
        std::string word;
        if (line[i] == '"') {
            size_t end = line.find('"', i + 1);
            if (end == std::string::npos)
                return false;
            word = line.substr(i + 1, end - i - 1);
            i = end + 1;
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t')
                word += line[i++];
        }
        words.push_back(word);
    }
    return true;
}

bool Number(const std::string& text, int32_t max, int32_t& value)
{
    if (text.empty() || text.size() > 9)
        return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    return value <= max;
}

// "mm:ss:ff" in sectors.
bool Time(const std::string& text, int32_t& frames)
{
    size_t a = text.find(':'), b = text.rfind(':');
    if (a == std::string::npos || a == b)
        return false;
    int32_t m = 0, s = 0, f = 0;
    if (!Number(text.substr(0, a), 999, m) || !Number(text.substr(a + 1, b - a - 1), 59, s) ||
        !Number(text.substr(b + 1), 74, f))
        return false;
    frames = LCDFramesOf(m, s, f);
    return true;
}

// A CUE sheet has no way to write a double quote inside a quoted text.
std::string Quoted(std::string text)
{
    for (char& c : text)
        if (c == '"')
            c = '\'';
    return "\"" + text + "\"";
}

} // namespace

int32_t LCueSheet::Track::IndexFrame(uint8_t n) const
{
    for (const Index& i : indexes)
        if (i.number == n)
            return i.frame;
    return -1;
}

const char* LCueSheet::ModeName(Mode mode)
{
    switch (mode) {
    case Mode::Audio: return "AUDIO";
    case Mode::Mode1_2048: return "MODE1/2048";
    case Mode::Mode1_2352: return "MODE1/2352";
    }
    return "AUDIO";
}

bool LCueSheet::Parse(const std::string& text, LCueSheet& sheet, std::string& error)
{
    sheet = LCueSheet();
    size_t pos = 0;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        pos = 3;
    int32_t lineNumber = 0;
    std::vector<std::string> w;
    auto fail = [&](const std::string& what) {
        error = "line " + std::to_string(lineNumber) + ": " + what;
        return false;
    };
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        for (char c : line)
            if (c == 0 || ((unsigned char)c < 0x20 && c != '\t'))
                return fail("this is not text");
        if (!Words(line, w))
            return fail("a quote is not closed");
        if (w.empty())
            continue;
        const std::string& cmd = w[0];
        Track* track = sheet.tracks.empty() ? nullptr : &sheet.tracks.back();
        if (Same(cmd, "REM") || Same(cmd, "CATALOG") || Same(cmd, "CDTEXTFILE") || Same(cmd, "SONGWRITER") ||
            Same(cmd, "ISRC") || Same(cmd, "FLAGS") || Same(cmd, "COMPOSER") || Same(cmd, "ARRANGER") ||
            Same(cmd, "MESSAGE") || Same(cmd, "GENRE") || Same(cmd, "UPC_EAN") || Same(cmd, "DISC_ID"))
            continue;
        if (Same(cmd, "FILE")) {
            if (w.size() != 3 || w[1].empty())
                return fail("FILE wants a file name and its type");
            if (w[1].find('"') != std::string::npos)
                return fail("a file name with a double quote cannot be used");
            if (!sheet.files.empty() && (sheet.tracks.empty() || sheet.tracks.back().file != int32_t(sheet.files.size()) - 1))
                return fail("the file before this one has no track");
            if (!Same(w[2], "BINARY"))
                return fail("the file type " + w[2] + " is not supported (only BINARY: raw sectors, audio little-endian)");
            sheet.files.push_back({w[1], lineNumber});
        } else if (Same(cmd, "TRACK")) {
            int32_t n = 0;
            if (w.size() != 3 || !Number(w[1], 99, n) || n < 1)
                return fail("TRACK wants a number from 01 to 99 and a mode");
            if (sheet.files.empty())
                return fail("TRACK before any FILE");
            if (track && n != track->number + 1)
                return fail("track " + std::to_string(n) + " does not follow track " + std::to_string(track->number));
            if (track && track->IndexFrame(1) < 0)
                return fail("track " + std::to_string(track->number) + " has no INDEX 01");
            Track t;
            t.number = uint8_t(n);
            t.line = lineNumber;
            t.file = int32_t(sheet.files.size()) - 1;
            if (Same(w[2], "AUDIO"))
                t.mode = Mode::Audio;
            else if (Same(w[2], "MODE1/2048"))
                t.mode = Mode::Mode1_2048;
            else if (Same(w[2], "MODE1/2352"))
                t.mode = Mode::Mode1_2352;
            else
                return fail("the track mode " + w[2] + " is not supported (AUDIO, MODE1/2048 and MODE1/2352 are)");
            sheet.tracks.push_back(t);
        } else if (Same(cmd, "INDEX")) {
            int32_t n = 0, frames = 0;
            if (!track)
                return fail("INDEX before any TRACK");
            if (w.size() != 3 || !Number(w[1], 99, n) || !Time(w[2], frames))
                return fail("INDEX wants a number and a time mm:ss:ff");
            if (track->file != int32_t(sheet.files.size()) - 1)
                return fail("INDEX of track " + std::to_string(track->number) + " after a new FILE");
            if (!track->indexes.empty()) {
                const Index& last = track->indexes.back();
                if (n != last.number + 1)
                    return fail("INDEX " + std::to_string(n) + " does not follow INDEX " + std::to_string(last.number));
                if (frames < last.frame)
                    return fail("INDEX " + std::to_string(n) + " lies before INDEX " + std::to_string(last.number));
            } else if (n > 1) {
                return fail("track " + std::to_string(track->number) + " starts with INDEX " + std::to_string(n));
            }
            // Indexes go forward through the file from one track to the next.
            if (track->indexes.empty() && sheet.tracks.size() > 1) {
                const Track& prev = sheet.tracks[sheet.tracks.size() - 2];
                if (prev.file == track->file && frames <= prev.indexes.back().frame)
                    return fail("track " + std::to_string(track->number) + " starts before the end of track " +
                                std::to_string(prev.number));
            }
            track->indexes.push_back({uint8_t(n), frames});
        } else if (Same(cmd, "PREGAP") || Same(cmd, "POSTGAP")) {
            int32_t frames = 0;
            if (!track)
                return fail(cmd + " before any TRACK");
            if (w.size() != 2 || !Time(w[1], frames))
                return fail(cmd + " wants a time mm:ss:ff");
            if (Same(cmd, "PREGAP")) {
                if (!track->indexes.empty())
                    return fail("PREGAP after an INDEX");
                track->pregap = frames;
            } else {
                track->postgap = frames;
            }
        } else if (Same(cmd, "TITLE") || Same(cmd, "PERFORMER")) {
            if (w.size() != 2)
                return fail(cmd + " wants one text (in quotes when it has spaces)");
            std::string& field = Same(cmd, "TITLE") ? (track ? track->title : sheet.title)
                                                    : (track ? track->performer : sheet.performer);
            field = w[1];
            for (char& c : field)
                if (c == '"')
                    c = '\'';
        } else {
            return fail("unknown command \"" + cmd.substr(0, 40) + "\"");
        }
    }
    if (sheet.tracks.empty())
        return fail("there are no tracks");
    if (sheet.tracks.back().file != int32_t(sheet.files.size()) - 1)
        return fail("the last FILE has no track");
    if (sheet.tracks.back().IndexFrame(1) < 0)
        return fail("track " + std::to_string(sheet.tracks.back().number) + " has no INDEX 01");
    return true;
}

std::string LCueSheet::Write() const
{
    std::string out;
    if (!performer.empty())
        out += "PERFORMER " + Quoted(performer) + "\n";
    if (!title.empty())
        out += "TITLE " + Quoted(title) + "\n";
    int32_t file = -1;
    for (const Track& t : tracks) {
        if (t.file != file) {
            file = t.file;
            out += "FILE " + Quoted(files[size_t(file)].name) + " BINARY\n";
        }
        char number[8];
        std::snprintf(number, sizeof number, "%02d", t.number);
        out += std::string("  TRACK ") + number + " " + ModeName(t.mode) + "\n";
        if (!t.title.empty())
            out += "    TITLE " + Quoted(t.title) + "\n";
        if (!t.performer.empty())
            out += "    PERFORMER " + Quoted(t.performer) + "\n";
        if (t.pregap)
            out += "    PREGAP " + LCDTimeText(t.pregap) + "\n";
        for (const Index& i : t.indexes) {
            std::snprintf(number, sizeof number, "%02d", i.number);
            out += std::string("    INDEX ") + number + " " + LCDTimeText(i.frame) + "\n";
        }
        if (t.postgap)
            out += "    POSTGAP " + LCDTimeText(t.postgap) + "\n";
    }
    return out;
}
