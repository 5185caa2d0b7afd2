#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "cd/LCDBurnSettings.h"

// What kelvane-cd was asked to do.
struct CdOptions {
    std::string command;          // "drives", "toc", "rip", "burn", "blank", "iso" or "burn-data"
    int32_t drive = 0;            // -d N
    std::vector<int32_t> tracks;  // -t 1,3-5: track numbers; empty for every audio track
    std::string outputDir = ".";  // -o DIR
    std::string format = ".wav";  // -f EXT, with its dot
    bool lookup = true;           // --no-lookup turns it off
    bool lookupGiven = false;     // --no-lookup or --cddb was given (else the setting decides)
    std::string cddb;             // --cddb HOST[:PORT]; empty: the setting
    bool secure = true;           // --fast turns it off
    // burn: the write settings (--speed, --dao, --simulate, --verify, --erase,
    // --overburn), the disc's title (--title) and the files, one track each.
    LCDBurnSettings burn;
    std::string title;
    std::vector<std::string> files;
    // iso and burn-data: the image file (-o), the volume label (-V), Rock Ridge
    // (--no-rock-ridge turns it off); the files and folders are in `files`.
    std::string image;
    std::string label;
    bool rockRidge = true;
};

// Messages as an error box (on the terminal: "kelvane-cd: text").
void CdFail(const std::string& text);
// True when drive `index` is one of the drives; else says so.
bool CdCheckDrive(int32_t index);

// Parses "1,3-5" into track numbers (1 to 99, in the order given, each once).
// False with `error` when it is not such a list.
bool ParseTrackList(const std::string& text, std::vector<int32_t>& tracks, std::string& error);

// The file name of a ripped track: "NN - Title.EXT", with the characters a
// file name cannot hold (here or on the file systems music is carried on)
// replaced by "_", at most 255 bytes.
std::string TrackFileName(int32_t number, const std::string& title, const std::string& ext);

// kelvane-cd toc: the tracks, the disc ids and, with a lookup, the titles.
int CdToc(const CdOptions& options);
// kelvane-cd rip: every chosen track into a file, with "rip.log". 0 every
// track ripped without errors, 1 cancelled, 2 a track had errors or failed.
int CdRip(const CdOptions& options);
