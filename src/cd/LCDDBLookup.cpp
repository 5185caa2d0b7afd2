#include "cd/LCDDBLookup.h"

#include <cctype>
#include <cstdlib>

#include "cd/LCDDBInfo.h"
#include "cd/LCDDiscIds.h"
#include "cd/LIPSocketStream.h"
#include "core/LProgressDialog.h"
#include "core/LSettings.h"
#include "core/LUi.h"

namespace {

// The leading number of a reply line, or -1.
int32_t Code(const std::string& line)
{
    if (line.size() < 3 || !std::isdigit(static_cast<unsigned char>(line[0])) ||
        !std::isdigit(static_cast<unsigned char>(line[1])) || !std::isdigit(static_cast<unsigned char>(line[2])))
        return -1;
    return (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
}

bool Accepted(const std::string& line)
{
    const int32_t code = Code(line);
    return code >= 200 && code <= 299;
}

// The word of `text` from `at` up to the next space.
std::string Word(const std::string& text, size_t at)
{
    if (at >= text.size())
        return {};
    const size_t end = text.find(' ', at);
    return text.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

bool ValidUtf8(const std::string& s)
{
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        if (n == 0 || i + n > s.size())
            return false;
        for (size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return false;
        i += n;
    }
    return true;
}

// Servers answer at the first protocol level in ISO 8859-1; newer entries are
// UTF-8 already. Escapes (\n, \t, \\) become plain text; a title is one line.
std::string TitleText(const std::string& raw)
{
    std::string s;
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\\' && i + 1 < raw.size()) {
            const char e = raw[++i];
            s += e == 'n' || e == 't' ? ' ' : e;
        } else {
            s += raw[i];
        }
    }
    if (ValidUtf8(s))
        return s;
    std::string utf8;
    for (char ch : s) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            utf8 += ch;
        } else {
            utf8 += char(0xC0 | (c >> 6));
            utf8 += char(0x80 | (c & 0x3F));
        }
    }
    return utf8;
}

// Keeps at most LCDDBInfo::kMaxText bytes, not splitting a character.
void Limit(std::string& text)
{
    if (text.size() <= LCDDBInfo::kMaxText)
        return;
    size_t n = LCDDBInfo::kMaxText;
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
        --n;
    text.resize(n);
}

} // namespace

LCDDBLookup::Options LCDDBLookup::Options::FromSettings()
{
    Options o;
    o.server = LSettings::ReadString("CDDB", "Server", kDefaultServer);
    if (o.server.empty())
        o.server = kDefaultServer;
    return o;
}

bool LCDDBLookup::Enabled() { return LSettings::ReadBool("CDDB", "Lookup", true); }

bool LCDDBLookup::ParseServer(const std::string& text, std::string& host, uint16_t& port)
{
    port = kDefaultPort;
    std::string portText;
    if (!text.empty() && text[0] == '[') {
        const size_t close = text.find(']');
        if (close == std::string::npos)
            return false;
        host = text.substr(1, close - 1);
        if (close + 1 < text.size()) {
            if (text[close + 1] != ':')
                return false;
            portText = text.substr(close + 2);
        }
    } else if (const size_t colon = text.find(':');
               colon != std::string::npos && text.find(':', colon + 1) == std::string::npos) {
        host = text.substr(0, colon);
        portText = text.substr(colon + 1);
    } else {
        host = text;  // a name, or an IPv6 address without a port
    }
    if (host.empty())
        return false;
    if (!portText.empty() || (text.size() && text.back() == ':')) {
        if (portText.empty() || portText.size() > 5 || portText.find_first_not_of("0123456789") != std::string::npos)
            return false;
        const int32_t p = std::atoi(portText.c_str());
        if (p < 1 || p > 65535)
            return false;
        port = uint16_t(p);
    }
    return true;
}

std::string LCDDBLookup::QueryLine(const LCDToc& toc)
{
    std::string q = "cddb query " + LCDDiscIds::CddbText(LCDDiscIds::Cddb(toc)) + " " + std::to_string(toc.count) + " ";
    for (int32_t i = 0; i < toc.count; ++i)
        q += std::to_string(toc.starts[size_t(i)] + 150) + " ";
    return q + std::to_string(LCDDiscIds::CddbSeconds(toc)) + "\n";
}

int32_t LCDDBLookup::Run(LProgressDialog& dialog, const Options& options, LCDDBInfo& info, std::string& note)
{
    std::string host;
    uint16_t port = kDefaultPort;
    if (!ParseServer(options.server, host, port)) {
        note = "the CDDB server \"" + options.server + "\" is not of the form host or host:port";
        return kJobDone;
    }
    dialog.SetText("Connected to freedb server", 0);
    dialog.SetText(options.server, 1);
    LIPSocketStream stream;
    const int32_t timeout = options.timeoutMs;
    std::string line;
    // Each step either goes on or ends the exchange with `note` saying why.
    auto failed = [&](int32_t result, const char* step) {
        if (result == kJobDone)
            return false;
        note = result == kJobCancelled ? std::string("cancelled") : std::string(step) + ": " + stream.LastError();
        return true;
    };
    auto refused = [&](const char* step) {
        if (Accepted(line))
            return false;
        note = std::string(step) + ": the server answered \"" + line + "\"";
        return true;
    };
    auto ask = [&](const std::string& command, const char* step) {
        return !failed(stream.ProcessSendString(dialog, command, timeout), step) &&
               !failed(stream.ProcessRecvLine(dialog, line, timeout), step) && !refused(step);
    };
    if (failed(stream.ProcessConnect(dialog, host, false, options.connectTimeoutMs, port), "connect") ||
        failed(stream.ProcessRecvLine(dialog, line, timeout), "greeting") || refused("greeting") ||
        !ask("cddb hello undef localhost Kelvane 1.11\n", "hello") || !ask(QueryLine(info.toc), "query"))
        return kJobDone;
    if (line.size() < 4) {
        note = "query: the server answered \"" + line + "\"";
        return kJobDone;
    }
    const int32_t code = Code(line);
    std::string category, id = LCDDiscIds::CddbText(LCDDiscIds::Cddb(info.toc));
    if (code == 200) {
        category = Word(line, 4);
    } else if (code == 202) {
        note = kNoMatchMessage;
        dialog.OnWindowThread(
            [] { LUiGet().Message(kNoMatchMessage, "Kelvane", LUiButtons::Ok, LUiIcon::Stop); });
        return kJobDone;
    } else if (code == 211 || code == 210) {
        // A list of matches up to a "." line: the first is taken, read under
        // its own id (an inexact match has another), and the rest of the list
        // is read before the next command, or it would be taken for the answer.
        if (failed(stream.ProcessRecvLine(dialog, line, timeout), "query"))
            return kJobDone;
        category = Word(line, 0);
        const std::string matched = Word(line, category.size() + 1);
        if (!matched.empty())
            id = matched;
        for (std::string rest = line; rest.empty() || rest[0] != '.';)
            if (failed(stream.ProcessRecvLine(dialog, rest, timeout), "query"))
                return kJobDone;
    } else {
        note = "query: the server answered \"" + line + "\"";
        return kJobDone;
    }
    if (category.empty()) {
        note = "query: no category in \"" + line + "\"";
        return kJobDone;
    }
    if (!ask("cddb read " + category + " " + id + "\n", "read"))
        return kJobDone;
    // Long titles come in several lines of the same key, to be joined.
    std::vector<std::string> names(info.tracks.size());
    std::vector<bool> named(info.tracks.size(), false);
    std::string title;
    for (;;) {
        if (failed(stream.ProcessRecvLine(dialog, line, timeout), "read"))
            return kJobDone;
        if (!line.empty() && line[0] == '.')
            break;
        const size_t eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        if (line.rfind("DTITLE", 0) == 0) {
            title += line.substr(eq + 1);
            info.discTitle = TitleText(title);
            Limit(info.discTitle);
        } else if (line.rfind("TTITLE", 0) == 0) {
            const std::string number = line.substr(6, eq - 6);
            if (number.empty() || number.size() > 3 || number.find_first_not_of("0123456789") != std::string::npos)
                continue;
            const size_t index = size_t(std::atoi(number.c_str()));
            if (index >= info.tracks.size())
                continue;
            names[index] += line.substr(eq + 1);
            named[index] = true;
            info.tracks[index].name = TitleText(names[index]);
            Limit(info.tracks[index].name);
        }
    }
    // A track the entry names with nothing keeps its number.
    for (size_t i = 0; i < info.tracks.size(); ++i)
        if (named[i] && info.tracks[i].name.empty())
            info.tracks[i].name = LCDDBInfo::DefaultName(int32_t(i));
    stream.ProcessSendString(dialog, "cddb quit\n", timeout);
    note = "found " + category + " " + id + (info.discTitle.empty() ? "" : ": " + info.discTitle);
    return kJobDone;
}
