#include "cli/BatchOptions.h"

#include "app/LKVScriptFile.h"
#include "app/LSettingsTable.h"
#include "formats/LRawSettings.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <iterator>
#include <cmath>
#include <cstdlib>
#include <strings.h>

namespace {

bool ParseNumber(const std::string& text, int32_t& value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    long long v = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != 0 || v < INT32_MIN || v > INT32_MAX)
        return false;
    value = int32_t(v);
    return true;
}

bool SameName(const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) == 0; }

// The values of a headerless file's settings that its settings dialog would
// accept; anything else would only fail later, as a file that cannot be made.
bool CheckHeaderlessSetting(const LSettingRow& row, int32_t value, const std::string& what, std::string& error)
{
    if (!SameName(row.section, kRawAudioSection) && !SameName(row.section, kVoxAudioSection))
        return true;
    if (SameName(row.name, "SampleRate") &&
        (value < LRawSettings::kMinDialogRate || value > LRawSettings::kMaxDialogRate))
        error = what + ": Please enter a sample rate between 6000 and 196000.";
    else if (SameName(row.name, "Channels") && (value < 1 || value > 2))
        error = what + ": the channel count must be 1 (mono) or 2 (stereo)";
    else if (SameName(row.name, "Codec") && (value < 0 || value >= kRawCodecCount))
        error = what + ": the coding must be one of 0 to " + std::to_string(kRawCodecCount - 1) + " (0 " +
                LRawSettings::CodecName(0) + ", ..., 3 " + LRawSettings::CodecName(3) + ", ..., 6 " +
                LRawSettings::CodecName(6) + ")";
    return error.empty();
}

// A --set must name a setting the program reads and give it a value of its kind;
// anything else would be ignored without a word. Names match ignoring case, as
// the settings store matches them.
bool CheckSetting(const BatchOptions::Setting& s, std::string& error)
{
    const std::string what = "--set " + s.section + "." + s.name;
    // Every program the encoders and decoders use can be replaced, by any name.
    if (s.section.size() > 11 && SameName(s.section.substr(0, 11), "Components\\")) {
        if (SameName(s.name, "Path"))
            return true;
        error = what + ": a component has only the value Path";
        return false;
    }
    const LSettingRow* row = nullptr;
    std::string sections, names;
    for (const LSettingRow& r : LSettingsTable()) {
        if (!SameName(r.section, s.section)) {
            if (sections.find(" " + r.section + ",") == std::string::npos)
                sections += " " + r.section + ",";
            continue;
        }
        names += " " + r.name + ",";
        if (SameName(r.name, s.name))
            row = &r;
    }
    if (names.empty()) {
        sections.pop_back();
        error = what + ": there is no settings section \"" + s.section + "\"; the sections are" + sections +
                " and Components\\PROGRAM";
        return false;
    }
    if (!row) {
        names.pop_back();
        error = what + ": section " + s.section + " has no value \"" + s.name + "\"; its values are" + names;
        return false;
    }
    int32_t number = 0;
    if (row->kind == LSettingRow::Kind::Int && !ParseNumber(s.value, number)) {
        error = what + " wants a whole number, not \"" + s.value + "\"";
        return false;
    }
    if (row->kind == LSettingRow::Kind::Bool && s.value != "0" && s.value != "1") {
        error = what + " wants 1 (on) or 0 (off), not \"" + s.value + "\"";
        return false;
    }
    return CheckHeaderlessSetting(*row, number, what + "=" + s.value, error);
}

// A script named on the command line is held to what -c accepts: a record that
// the end of the file cut short, a command this version does not know, data too
// short for the command's values, or values its settings dialog refuses stop the
// run before anything is written. (The editor's wizard loads such scripts as
// they are and runs what it can.)
bool CheckScript(const std::string& path, const std::vector<LKVCommand>& script, const LKVScriptFile::Damage& damage,
                 std::string& error)
{
    auto where = [&](size_t record, const LKVCatalogueEntry* e) {
        return path + ", record " + std::to_string(record) + (e ? std::string(" (") + e->name + ")" : "") + ": ";
    };
    for (size_t i = 0; i < script.size(); ++i) {
        const LKVCommand& c = script[i];
        const LKVCatalogueEntry* e = LKVBatchCatalogue::Find(c.index);
        if (damage.record == i + 1) {
            error = where(i + 1, e) + damage.reason;
            return false;
        }
        if (!e) {
            error = where(i + 1, nullptr) + "there is no command number " + std::to_string(c.index) + " (0 to " +
                    std::to_string(LKVBatchCatalogue::kCount - 1) + " are; --list-commands shows them)";
            return false;
        }
        if (!c.data.empty() && c.data.size() < e->DataSize()) {
            error = where(i + 1, e) + "its " + std::to_string(c.data.size()) + " bytes of values are too few for the " +
                    std::to_string(e->DataSize()) + " it needs";
            return false;
        }
        const std::string message = LKVBatchCatalogue::CheckValues(c);
        if (!message.empty()) {
            error = where(i + 1, e) + message;
            return false;
        }
    }
    if (damage.record > script.size()) {
        error = where(damage.record, nullptr) + damage.reason;
        return false;
    }
    return true;
}

bool ParseDecimal(const std::string& text, double& value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text.c_str(), &end);
    return errno == 0 && *end == 0 && std::isfinite(value);
}

// KIND,FREQ,DBFS,SECONDS[,END_FREQ]; "logsweep" is a sweep that rises by equal
// octaves in equal times.
bool ParseTone(const std::string& text, LToneParams& tone, std::string& error)
{
    std::vector<std::string> parts;
    size_t from = 0;
    for (size_t comma; (comma = text.find(',', from)) != std::string::npos; from = comma + 1)
        parts.push_back(text.substr(from, comma - from));
    parts.push_back(text.substr(from));
    const std::string usage = "--tone wants KIND,FREQ,DBFS,SECONDS[,END_FREQ] with KIND one of sine, square, "
                              "triangle, sawtooth, white, pink, sweep, logsweep, silence (e.g. sine,1000,-6,1)";
    if (parts.size() < 4 || parts.size() > 5) {
        error = usage;
        return false;
    }
    std::string kind = parts[0];
    for (char& c : kind)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    tone.logSweep = kind == "logsweep";
    if (tone.logSweep)
        kind = "sweep";
    double seconds = 0;
    if (!LToneParams::KindFromName(kind, tone.kind) || tone.kind == LToneParams::Kind::Dtmf ||
        !ParseDecimal(parts[1], tone.frequency) || !ParseDecimal(parts[2], tone.levelDb) ||
        !ParseDecimal(parts[3], seconds) || (parts.size() == 5 && !ParseDecimal(parts[4], tone.endFrequency))) {
        error = usage;
        return false;
    }
    if ((tone.kind == LToneParams::Kind::Sweep) != (parts.size() == 5)) {
        error = tone.kind == LToneParams::Kind::Sweep ? "--tone: a sweep needs its END_FREQ (e.g. sweep,100,-6,2,8000)"
                                                    : "--tone: only a sweep takes an END_FREQ";
        return false;
    }
    if (!(seconds > 0 && seconds <= 86400)) {
        error = "--tone: SECONDS must be above 0 and at most 86400";
        return false;
    }
    tone.durationMs = int32_t(std::lround(seconds * 1000));
    return true;
}

} // namespace

std::string BatchOptions::GeneratedName() const
{
    return (name.empty() ? generator == Generator::Speech ? "speech" : "tone" : name) +
           (format.empty() ? ".wav" : format);
}

const char* BatchUsage()
{
    return "usage: kelvane-batch [-o DIR | --in-place] [-f EXT] [-s SCRIPT.kvb] [-c NAME[=V,...]]...\n"
           "                     [--set SECTION.NAME=VALUE]... [--rate HZ] [--rate-quality Q] [--channels N]\n"
           "                     [-j N] [-q]\n"
           "                     [--info [--loudness]] [--list-commands] [--save-script FILE.kvb] FILE...\n"
           "       kelvane-batch -o DIR (--tone KIND,FREQ,DBFS,SECONDS[,END_FREQ] | --dtmf DIGITS |\n"
           "                     --speak TEXT [--voice NAME]) [--name NAME] [--rate HZ] [--channels N]\n"
           "                     [-f EXT] [-c ...] [-s ...]\n"
           "\n"
           "  -o DIR          write each converted file into DIR under its own name; never\n"
           "                  onto a source (only --in-place replaces sources)\n"
           "  --in-place      replace each file with its converted version (with -f, the\n"
           "                  new file goes beside the original, which is kept); a link\n"
           "                  stays a link and the file it points to is converted\n"
           "  -f EXT          save as this type: wav au aif aiff gsm vox raw mp3 ogg flac\n"
           "                  aac m4a; raw keeps each file's rate and channels unless\n"
           "                  --set RawAudio.SampleRate or RawAudio.Channels says otherwise\n"
           "  --rate HZ       convert to this sample rate (6000..196000)\n"
           "  --rate-quality Q  how --rate and the Convert Sample Rate command resample:\n"
           "                  standard (the editor's default) or high (libsoxr, very high\n"
           "                  quality); without it, the editor's stored choice\n"
           "  --channels N    convert to 1 (mono) or 2 (stereo) channels\n"
           "  -c NAME[=V,...] apply a batch command to the whole file before --rate and\n"
           "                  --channels, e.g. -c Amplify=150 or\n"
           "                  -c \"Constant Pitch and Speed Change=150\"; values in the command's\n"
           "                  order (a curve as x,y pairs); without values, the stored ones.\n"
           "                  Repeat -c for more commands; they run in the order given.\n"
           "  -s SCRIPT.kvb   append the commands of a script (with -c, in the order given);\n"
           "                  scripts over 1 MB are refused\n"
           "  --set S.N=V     override setting N of section S for this run only, e.g.\n"
           "                  --set RawAudio.SampleRate=8000 or --set MP3Encoder.ConstantBitRate=1\n"
           "                  --set MP3Encoder.CBRBitRate=192\n"
           "  -j N            convert N files at once (results are identical to -j 1)\n"
           "  --list-commands print the batch commands with their parameters and defaults\n"
           "  --save-script F write the command list (-s and -c) as a script F\n"
           "  -q              no progress bar and no line for files that succeed\n"
           "  --info          print each file's rate, channels, length and format\n"
           "  --loudness      with --info, also its integrated loudness, loudness range and\n"
           "                  true peak: -16.0 LUFS, LRA 5.2 LU, true peak -1.3 dBTP\n"
           "  --version       print the version and exit\n"
           "\n"
           "Generators make one document, processed by -c/-s and saved as DIR/NAME.EXT:\n"
           "  --tone K,F,DB,S a tone of kind K (sine square triangle sawtooth white pink\n"
           "                  sweep logsweep silence), F Hz, DB dBFS peak, S seconds; a\n"
           "                  sweep adds its end frequency: sweep,100,-6,2,8000\n"
           "  --dtmf DIGITS   telephone digits 0-9 * # A-D, 100 ms tones and pauses\n"
           "  --speak TEXT    TEXT spoken by espeak-ng, in --voice NAME (default en, e.g.\n"
           "                  en-us) at --speed WPM (175) and --pitch 0..99 (50)\n"
           "  --name NAME     the file's name (default tone, or speech)\n"
           "  --rate HZ, --channels N set the generated format (default 44100 Hz mono;\n"
           "                  speech has the synthesizer's rate unless --rate is given)\n"
           "\n"
           "Every command value is checked, and two files saved under one name are refused,\n"
           "before anything runs. Files outside 6000..196000 Hz can only be copied.\n"
           "Exit status: 0 every file done, 1 cancelled (Ctrl+C, SIGTERM, SIGHUP), 2 a file\n"
           "failed.\n";
}

bool ParseBatchOptions(const std::vector<std::string>& args, BatchOptions& options, std::string& error)
{
    options = BatchOptions();
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) {
                error = "option " + a + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        std::string v;
        if (a == "-h" || a == "--help") {
            options.help = true;
        } else if (a == "--version") {
            options.version = true;
        } else if (a == "-o") {
            if (!value(options.outputDir))
                return false;
        } else if (a == "-f") {
            if (!value(v))
                return false;
            std::string ext = v.empty() || v[0] == '.' ? v : "." + v;
            for (char& c : ext)
                c = char(std::tolower(static_cast<unsigned char>(c)));
            static const char* const kTypes[] = {".wav", ".au",  ".aif", ".aiff", ".gsm", ".vox",
                                                 ".raw", ".mp3", ".ogg", ".flac", ".aac", ".m4a"};
            if (std::find(std::begin(kTypes), std::end(kTypes), ext) == std::end(kTypes)) {
                error = "cannot save as \"" + v + "\"; the types are wav au aif aiff gsm vox raw mp3 ogg flac aac m4a";
                return false;
            }
            options.format = ext;
        } else if (a == "-c") {
            if (!value(v))
                return false;
            LKVCommand command;
            if (!LKVBatchCatalogue::Parse(v, command, error))
                return false;
            options.commands.push_back(std::move(command));
        } else if (a == "-s") {
            if (!value(v))
                return false;
            std::vector<LKVCommand> script;
            LKVScriptFile::Damage damage;
            switch (LKVScriptFile::Read(v, script, &damage)) {
            case LKVScriptFile::ReadResult::Ok: break;
            case LKVScriptFile::ReadResult::WrongVersion: error = std::string(LKVScriptFile::kVersionMessage) + " (" + v + ")"; return false;
            case LKVScriptFile::ReadResult::CannotOpen: error = std::string(LKVScriptFile::kCannotOpenMessage) + " (" + v + ")"; return false;
            case LKVScriptFile::ReadResult::TooLarge: error = LKVScriptFile::TooLargeMessage(v); return false;
            }
            if (!CheckScript(v, script, damage, error))
                return false;
            options.commands.insert(options.commands.end(), script.begin(), script.end());
        } else if (a == "--set") {
            if (!value(v))
                return false;
            size_t eq = v.find('=');
            size_t dot = eq == std::string::npos ? std::string::npos : v.rfind('.', eq);
            if (eq == std::string::npos || dot == std::string::npos || dot == 0 || dot + 1 == eq) {
                error = "--set wants SECTION.NAME=VALUE, e.g. RawAudio.SampleRate=8000";
                return false;
            }
            options.settings.push_back({v.substr(0, dot), v.substr(dot + 1, eq - dot - 1), v.substr(eq + 1)});
            if (!CheckSetting(options.settings.back(), error))
                return false;
        } else if (a == "-j") {
            if (!value(v))
                return false;
            if (!ParseNumber(v, options.jobs) || options.jobs < 1 || options.jobs > 64) {
                error = "-j wants a number of files at once between 1 and 64";
                return false;
            }
        } else if (a == "--list-commands") {
            options.listCommands = true;
        } else if (a == "--save-script") {
            if (!value(options.saveScript))
                return false;
        } else if (a == "--in-place") {
            options.inPlace = true;
        } else if (a == "--rate") {
            if (!value(v))
                return false;
            if (!ParseNumber(v, options.rate) || options.rate < 6000 || options.rate > 196000) {
                error = "the sample rate must be a number between 6000 and 196000";
                return false;
            }
        } else if (a == "--rate-quality") {
            if (!value(v))
                return false;
            if (v != "standard" && v != "high") {
                error = "--rate-quality wants standard or high, not \"" + v + "\"";
                return false;
            }
            // The same as setting the stored choice for this run, which every
            // conversion of the run reads.
            options.settings.push_back({"StoredValues", "ConvertRateQuality",
                                        std::to_string(int32_t(v == "high" ? LRateQuality::High : LRateQuality::Standard))});
        } else if (a == "--channels") {
            if (!value(v))
                return false;
            if (!ParseNumber(v, options.channels) || options.channels < 1 || options.channels > 2) {
                error = "the channel count must be 1 or 2";
                return false;
            }
        } else if (a == "--tone" || a == "--dtmf" || a == "--speak") {
            if (!value(v))
                return false;
            if (options.generator != BatchOptions::Generator::None) {
                error = "one generator per run: --tone, --dtmf or --speak";
                return false;
            }
            if (a == "--speak") {
                options.generator = BatchOptions::Generator::Speech;
                options.speech = v;
                if (v.find_first_not_of(" \t\r\n") == std::string::npos) {
                    error = "--speak: there is no text to speak";
                    return false;
                }
                continue;
            }
            options.generator = BatchOptions::Generator::Tone;
            if (a == "--dtmf") {
                options.tone.kind = LToneParams::Kind::Dtmf;
                options.tone.digits = v;
                options.tone.levelDb = -6;
            } else if (!ParseTone(v, options.tone, error)) {
                return false;
            }
        } else if (a == "--speed" || a == "--pitch") {
            if (!value(v))
                return false;
            const bool speed = a == "--speed";
            int32_t& target = speed ? options.speed : options.pitch;
            if (!ParseNumber(v, target) || (speed ? target < 80 || target > 450 : target < 0 || target > 99)) {
                error = speed ? "--speed wants 80 to 450 words per minute" : "--pitch wants 0 to 99 (50 the voice's own)";
                return false;
            }
        } else if (a == "--voice") {
            if (!value(options.voice))
                return false;
        } else if (a == "--name") {
            if (!value(options.name))
                return false;
            if (options.name.empty() || options.name.find('/') != std::string::npos || options.name == "." ||
                options.name == "..") {
                error = "--name wants a file name without a folder";
                return false;
            }
        } else if (a == "-q") {
            options.quiet = true;
        } else if (a == "--info") {
            options.info = true;
        } else if (a == "--loudness") {
            options.loudness = true;
        } else if (a == "--") {
            options.files.insert(options.files.end(), args.begin() + long(i) + 1, args.end());
            break;
        } else if (a.size() > 1 && a[0] == '-') {
            error = "unknown option " + a;
            return false;
        } else {
            options.files.push_back(a);
        }
    }
    if (options.help || options.version || options.listCommands || (!options.saveScript.empty() && options.files.empty()))
        return true;
    if (options.loudness && !options.info) {
        error = "--loudness goes with --info";
        return false;
    }
    if (options.generator != BatchOptions::Generator::None) {
        if (!options.files.empty() || options.inPlace || options.info || options.jobs > 1) {
            error = "a generator makes its own document: give it no FILE, --in-place, --info or -j";
            return false;
        }
        if (options.outputDir.empty()) {
            error = "say where the generated file goes: -o DIR";
            return false;
        }
        if (options.generator == BatchOptions::Generator::Tone) {
            options.tone.sampleRate = options.rate ? options.rate : 44100;
            options.tone.channels = uint8_t(options.channels ? options.channels : 1);
            const std::string refused = options.tone.Check();
            if (!refused.empty()) {
                error = (options.tone.kind == LToneParams::Kind::Dtmf ? "--dtmf: " : "--tone: ") + refused;
                return false;
            }
        }
        return true;
    }
    if (!options.voice.empty() || !options.name.empty()) {
        error = "--voice and --name go with a generator (--tone, --dtmf, --speak)";
        return false;
    }
    if (options.files.empty()) {
        error = "no files given";
        return false;
    }
    if (!options.outputDir.empty() && options.inPlace) {
        error = "-o and --in-place cannot be combined";
        return false;
    }
    if (!options.info && options.outputDir.empty() && !options.inPlace) {
        error = "say where the results go: -o DIR, or --in-place to replace the files";
        return false;
    }
    return true;
}
