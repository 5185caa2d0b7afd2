#pragma once
#include <cstdint>
#include <string>

class LKVFile;

// The time and format read-outs of the main window for the current document.
struct LKVReadouts {
    std::string selectionStart;   // h:mm:ss.cc
    std::string selectionEnd;     // h:mm:ss.cc
    std::string position;         // h:mm:ss.cc
    std::string selectionLength;  // end - start, h:mm:ss.mmm
    std::string length;           // h:mm:ss.cc
    std::string format;           // "Sample Rate: %d   Mono" or "...   Stereo"; empty without a document

    // All times zero when `doc` is null.
    static LKVReadouts Of(const LKVFile* doc);
};

// Frames at `rate` as milliseconds: (n / rate) * 1000 + ((n mod rate) * 1000) / rate,
// computed without overflow and limited to the 32-bit range.
int32_t LKVFramesToMs(int64_t frames, int32_t rate);
// Milliseconds as frames at `rate`: (ms / 1000) * rate + ((ms mod 1000) * rate) / 1000,
// limited to the 32-bit range.
int32_t LKVMsToFrames(int64_t ms, int32_t rate);

// The frame's caption: "Kelvane - name" with the project's file name without its
// folder and extension while a project is open, else "Kelvane".
std::string LKVCaption(const std::string& projectPath);
