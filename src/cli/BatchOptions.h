#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "app/LKVBatchCatalogue.h"
#include "effects/LToneParams.h"

// What kelvane-batch was asked to do.
struct BatchOptions {
    std::string outputDir;       // -o DIR
    bool inPlace = false;        // --in-place
    std::string format;          // -f EXT, with its dot; empty keeps each file's type
    int32_t rate = 0;            // --rate HZ; 0 keeps each file's rate
    int32_t channels = 0;        // --channels N; 0 keeps each file's channels
    bool quiet = false;          // -q
    bool info = false;           // --info
    bool loudness = false;       // --loudness (with --info)
    bool help = false;           // -h, --help
    bool version = false;        // --version
    std::vector<LKVCommand> commands;  // -c NAME[=V,...] and -s SCRIPT, applied in this order
    std::string saveScript;            // --save-script FILE.kvb
    bool listCommands = false;         // --list-commands
    int32_t jobs = 1;                  // -j N: files converted at once
    struct Setting {
        std::string section, name, value;
    };
    std::vector<Setting> settings;     // --set SECTION.NAME=VALUE, for this run only
    std::vector<std::string> files;

    // A generator makes the run's one document in place of FILEs: --tone,
    // --dtmf or --speak. It is saved in the -o folder as NAME plus the -f type
    // (.wav without -f); --rate and --channels set its format.
    enum class Generator : uint8_t { None, Tone, Speech };
    Generator generator = Generator::None;
    LToneParams tone;              // --tone KIND,FREQ,DBFS,SECONDS[,END_FREQ], --dtmf DIGITS
    std::string speech;          // --speak TEXT
    std::string voice;           // --voice NAME (default "en")
    int32_t speed = 175;         // --speed WPM
    int32_t pitch = 50;          // --pitch 0..99
    std::string name;            // --name NAME; empty: "tone" or "speech"
    // The generated document's file name.
    std::string GeneratedName() const;
};

// Parses the arguments after the program name. False with `error` set when they
// are not usable; the caller prints it with the usage text.
bool ParseBatchOptions(const std::vector<std::string>& args, BatchOptions& options, std::string& error);

// The usage text printed by --help and after a wrong argument.
const char* BatchUsage();
