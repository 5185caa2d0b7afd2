// kelvane-mp3el: the "mp3el" encoder component. It takes the editor's MP3
// command line,
//
//   kelvane-mp3el -m MODE [-p] (-b KBPS [-h] | -v -b MIN -B MAX -V QUALITY)
//                 -r -x -s KHZ -S - OUT
//
// and replaces itself with lame reading raw signed 16-bit little-endian PCM from
// standard input, so lame's exit status is ours. The editor's "-x" only says the
// PCM is little-endian; lame would read it as "swap bytes", so it is not passed on.
// A malformed command line exits with status 2 before lame is started.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct Options {
    std::string mode;
    bool protection = false;
    bool vbr = false;
    bool highQuality = false;
    int bitRate = -1;     // CBR rate, or the VBR minimum
    int maxBitRate = -1;  // VBR only
    int quality = -1;     // VBR only
    int rate = 0;         // Hz
    bool stdinInput = false;
    std::string output;
};

// A whole number in lo..hi.
bool ParseInt(const char* text, int lo, int hi, int& value)
{
    if (!text || !*text)
        return false;
    int v = 0;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9' || v > 100000)
            return false;
        v = v * 10 + (*p - '0');
    }
    if (v < lo || v > hi)
        return false;
    value = v;
    return true;
}

// kHz with up to three decimals ("22.050", "44.1", "8") as Hz.
bool ParseKilohertz(const char* text, int& hz)
{
    if (!text)
        return false;
    const char* dot = std::strchr(text, '.');
    std::string whole = dot ? std::string(text, size_t(dot - text)) : std::string(text);
    std::string fraction = dot ? std::string(dot + 1) : std::string();
    if (whole.empty() || whole.size() > 3 || fraction.size() > 3)
        return false;
    fraction.resize(3, '0');
    int k = 0, f = 0;
    if (!ParseInt(whole.c_str(), 0, 999, k) || !ParseInt(fraction.c_str(), 0, 999, f))
        return false;
    hz = k * 1000 + f;
    return hz >= 8000 && hz <= 48000;
}

bool Parse(int argc, char** argv, Options& o, std::string& error)
{
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
        if (a == "-m") {
            if (!next || std::strlen(next) != 1 || !std::strchr("sjfm", next[0]))
                return error = "-m needs one of s, j, f, m", false;
            o.mode = next;
            ++i;
        } else if (a == "-b" || a == "-B") {
            int& target = a == "-b" ? o.bitRate : o.maxBitRate;
            if (!ParseInt(next, 8, 320, target))
                return error = a + " needs a bit rate of 8 to 320 kbit/s", false;
            ++i;
        } else if (a == "-V") {
            if (!ParseInt(next, 0, 9, o.quality))
                return error = "-V needs a quality of 0 to 9", false;
            ++i;
        } else if (a == "-s") {
            if (!ParseKilohertz(next, o.rate))
                return error = "-s needs a sample rate in kHz from 8 to 48", false;
            ++i;
        } else if (a == "-p") {
            o.protection = true;
        } else if (a == "-v") {
            o.vbr = true;
        } else if (a == "-h") {
            o.highQuality = true;
        } else if (a == "-r" || a == "-x" || a == "-S") {
            // Raw little-endian input and no progress output are how we always run.
        } else if (a == "-") {
            o.stdinInput = true;
        } else if (!a.empty() && a[0] != '-' && o.stdinInput && o.output.empty()) {
            // lame would take a name starting with "-" for an option; the editor
            // writes such names as "./-name".
            o.output = a;
        } else {
            return error = "unexpected argument \"" + a + "\"", false;
        }
    }
    if (o.mode.empty() || o.bitRate < 0 || o.rate == 0 || !o.stdinInput || o.output.empty())
        return error = "-m, -b, -s, - and the output file are required", false;
    if (o.vbr != (o.maxBitRate >= 0) || o.vbr != (o.quality >= 0))
        return error = "-B and -V go with -v, and only with it", false;
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    Options o;
    std::string error;
    if (!Parse(argc, argv, o, error)) {
        std::fprintf(stderr,
                     "kelvane-mp3el: %s\nusage: kelvane-mp3el -m s|j|f|m [-p] (-b KBPS [-h] | -v -b MIN -B MAX -V Q) "
                     "-r -x -s KHZ -S - OUT\n",
                     error.c_str());
        return 2;
    }
    char khz[16];
    std::snprintf(khz, sizeof khz, "%d.%03d", o.rate / 1000, o.rate % 1000);
    // "--resample" at the input rate: lame would otherwise pick a lower rate of
    // its own for low bit rates, and the file would not have the rate the editor
    // chose (and told the user).
    std::vector<std::string> args = {"lame", "-r", "--little-endian", "--signed", "--bitwidth", "16", "-s",
                                     khz,    "--resample", khz, "-m", o.mode};
    if (o.protection)
        args.push_back("-p");
    if (o.vbr) {
        args.insert(args.end(), {"-V", std::to_string(o.quality), "-b", std::to_string(o.bitRate), "-B",
                                 std::to_string(o.maxBitRate)});
    } else {
        args.insert(args.end(), {"-b", std::to_string(o.bitRate)});
    }
    if (o.highQuality)
        args.push_back("-h");
    args.insert(args.end(), {"--silent", "-", o.output});

    std::vector<char*> raw;
    for (std::string& s : args)
        raw.push_back(s.data());
    raw.push_back(nullptr);
    execvp(raw[0], raw.data());
    std::fprintf(stderr, "kelvane-mp3el: cannot run lame: %s\n", std::strerror(errno));
    return 127;
}
