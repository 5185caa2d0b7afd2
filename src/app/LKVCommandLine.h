#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The command line rules of the single-instance program. `args` are the
// arguments after the program's name; a relative file name comes back joined
// to the current folder.

// What the first instance does at start.
struct LKVStartAction {
    enum class Kind : uint8_t {
        None,
        OpenFile,       // one argument: an audio file
        OpenProject,    // one argument ending in ".kvp"
        AddToBatch,     // two or more ("-batch" and a file): the second goes to the batch converter
        InstallPrompt,  // "/install": the post-installation prompt after 500 ms
    };
    Kind kind = Kind::None;
    std::string path;
};
LKVStartAction LKVFirstInstanceAction(const std::vector<std::string>& args);

// Messages a second instance sends to the first, with the argument in a global atom.
inline constexpr int32_t kLKVMsgOpenFile = 0x400 + 20;    // 1044
inline constexpr int32_t kLKVMsgAddToBatch = 0x400 + 21;  // 1045
// A track the CD dialog loaded, to be opened as a new document (MainDialog::OpenCDTrack).
inline constexpr int32_t kLKVMsgCDTrack = 0x400 + 48;     // 1072

// What a second instance forwards before it ends: the first argument of one with
// kLKVMsgOpenFile, the second of two or more with kLKVMsgAddToBatch; message 0
// when there is nothing to forward (the first instance is only brought to the
// front). "/install" is not forwarded: it is no file to open.
struct LKVForward {
    int32_t message = 0;
    std::string argument;
};
LKVForward LKVSecondInstanceForward(const std::vector<std::string>& args);
