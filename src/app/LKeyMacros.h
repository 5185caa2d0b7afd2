#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A key that runs a list of commands, one after another, as if each had been
// chosen from the menu.
struct LKeyMacro {
    uint32_t key = 0;               // key code, see LKeyMacros
    std::vector<int32_t> commands;  // command identifiers
};

// The key macros and their file "keys.dat" in the "Current" folder: version
// byte 0, then records to the end of the file, each a key code (4 bytes), a
// command count n (1 byte) and n command identifiers (4 bytes each),
// little-endian.
//
// A key code is a Windows virtual-key code in the low 16 bits, plus kAlt, kCtrl
// and kShift for the modifiers held; the codes stay those of Windows because the
// file stores them.
class LKeyMacros {
public:
    static constexpr uint32_t kAlt = 0x10000;
    static constexpr uint32_t kCtrl = 0x20000;
    static constexpr uint32_t kShift = 0x40000;
    // The count is one byte.
    static constexpr size_t kMaxCommands = 255;

    enum class Result : uint8_t {
        Ok,
        Missing,          // no file: no macros, not an error
        Corrupt,          // a version other than 0 or a cut-off record
        WriteFailed,
        TooManyCommands,  // a macro of more than 255 commands: nothing written
    };

    static constexpr char kVersionMessage[] =
        "This file does not have the same version with the current Kelvane version or it is corrupted.";
    static constexpr char kWriteMessage[] =
        "Kelvane cannot open this file. The file does not exist or may be corrupted.";

    // "keys.dat" in the "Current" folder.
    static std::string FilePath();
    // Replaces the macros by those of `path`. A cut-off file keeps the whole
    // records before the damage and reports Corrupt; a wrong version loads none.
    Result Load(const std::string& path);
    // Writes every macro; an older file stays as it was when this fails.
    Result Save(const std::string& path) const;

    const std::vector<LKeyMacro>& Macros() const { return macros_; }
    // The macro of `key`, or nullptr.
    const LKeyMacro* Find(uint32_t key) const;
    // Adds or replaces the macro of `key`; false (and nothing changed) for more
    // than 255 commands or a key that cannot be captured.
    bool Set(uint32_t key, std::vector<int32_t> commands);
    void Remove(uint32_t key);
    void Clear() { macros_.clear(); }

    // The code of virtual key `vk` with the modifiers held.
    static uint32_t KeyCode(uint16_t vk, bool alt, bool ctrl, bool shift);
    // "Ctrl+", "Alt+", "Shift+" (in that order, as held) and the key's name.
    static std::string KeyName(uint32_t code);
    // Whether a key may be captured for a macro: not Enter, Shift, Ctrl, Alt or Escape.
    static bool IsAcceptedKey(uint16_t vk);

private:
    std::vector<LKeyMacro> macros_;
};
