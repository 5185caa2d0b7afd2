#pragma once
#include <cstdint>
#include <string>

class LCDDBInfo;
class LProgressDialog;
struct LCDToc;

// Asks a CDDB server (the CDDBP protocol over TCP) for a disc's title and its
// track names: greeting, "cddb hello", "cddb query" with the disc id, the track
// starts and the playing time, "cddb read" of the match, "cddb quit". Every
// reply is accepted only with a code of 200 to 299; anything else, a failure,
// a time-out or a cancel ends the exchange quietly with the names found so far.
// Runs on a job's thread; the one message ("No CDDB match found") is shown on
// the window's thread.
class LCDDBLookup {
public:
    struct Options {
        std::string server = kDefaultServer;  // "host" or "host:port" ("[v6]:port")
        int32_t connectTimeoutMs = 10000;
        int32_t timeoutMs = 10000;           // for each line sent or received
        // The user's settings: section "CDDB", values "Server" and "Lookup".
        static Options FromSettings();
    };
    // The public gnudb server; port 8880 is the CDDBP port.
    static constexpr const char* kDefaultServer = "gnudb.gnudb.org:8880";
    static constexpr uint16_t kDefaultPort = 8880;
    static constexpr const char* kNoMatchMessage = "No CDDB match found";
    // Whether titles are looked up at all (setting "CDDB"/"Lookup", on by default).
    static bool Enabled();

    // Splits a server text into host and port: "host" is port 8880, "host:1234"
    // port 1234, an IPv6 address in brackets may carry a port ("[::1]:1234"),
    // a bare one never does. False when the port is not a number of 1 to 65535
    // or the host is empty.
    static bool ParseServer(const std::string& text, std::string& host, uint16_t& port);
    // "cddb query <id> <n> <start + 150> ... <seconds>\n".
    static std::string QueryLine(const LCDToc& toc);

    // Runs the exchange for `info` (whose table of contents is read), filling
    // its disc title and track names; `note` says how it went, for a terminal.
    // Always 0: a failed lookup does not fail the load.
    static int32_t Run(LProgressDialog& dialog, const Options& options, LCDDBInfo& info, std::string& note);
};
