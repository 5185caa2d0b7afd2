#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "app/LKVBatchCatalogue.h"

// What kelvane-batch was asked to do.
struct BatchOptions {
    std::string outputDir;       // -o DIR
    bool inPlace = false;        // --in-place
    std::string format;          // -f EXT, with its dot; empty keeps each file's type
    int32_t rate = 0;            // --rate HZ; 0 keeps each file's rate
    int32_t channels = 0;        // --channels N; 0 keeps each file's channels
    bool quiet = false;          // -q
    bool info = false;           // --info
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
};

// Parses the arguments after the program name. False with `error` set when they
// are not usable; the caller prints it with the usage text.
bool ParseBatchOptions(const std::vector<std::string>& args, BatchOptions& options, std::string& error);

// The usage text printed by --help and after a wrong argument.
const char* BatchUsage();
