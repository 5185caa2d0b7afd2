#include "app/LKeyMacros.h"

#include <algorithm>
#include <cstdio>

#include "app/LKVBinary.h"
#include "core/LSettings.h"

std::string LKeyMacros::FilePath() { return FilePathCat(LSettings::GetFolder("Current"), "keys.dat"); }

LKeyMacros::Result LKeyMacros::Load(const std::string& path)
{
    macros_.clear();
    LKVFileReader in;
    if (!in.Open(path))
        return Result::Missing;
    uint8_t version = 0xFF;
    if (!in.ReadU8(version) || version != 0)
        return Result::Corrupt;
    std::vector<LKeyMacro> read;
    while (in.Remaining() > 0) {
        LKeyMacro m;
        uint8_t count = 0;
        if (!in.ReadLE32(m.key) || !in.ReadU8(count)) {
            macros_ = std::move(read);
            return Result::Corrupt;
        }
        m.commands.resize(count);
        for (int32_t& c : m.commands)
            if (!in.ReadLE32(c)) {
                macros_ = std::move(read);
                return Result::Corrupt;
            }
        // A key recorded twice keeps its last list, as replacing a macro would.
        auto same = std::find_if(read.begin(), read.end(), [&](const LKeyMacro& x) { return x.key == m.key; });
        if (same != read.end())
            *same = std::move(m);
        else
            read.push_back(std::move(m));
    }
    macros_ = std::move(read);
    return Result::Ok;
}

LKeyMacros::Result LKeyMacros::Save(const std::string& path) const
{
    for (const LKeyMacro& m : macros_)
        if (m.commands.size() > kMaxCommands)
            return Result::TooManyCommands;
    LKVFileWriter out;
    if (!out.Open(path))
        return Result::WriteFailed;
    out.WriteU8(0);
    for (const LKeyMacro& m : macros_) {
        out.WriteLE32(m.key);
        out.WriteU8(uint8_t(m.commands.size()));
        for (int32_t c : m.commands)
            out.WriteLE32(uint32_t(c));
    }
    return out.Commit() ? Result::Ok : Result::WriteFailed;
}

const LKeyMacro* LKeyMacros::Find(uint32_t key) const
{
    for (const LKeyMacro& m : macros_)
        if (m.key == key)
            return &m;
    return nullptr;
}

bool LKeyMacros::Set(uint32_t key, std::vector<int32_t> commands)
{
    if (commands.size() > kMaxCommands || !IsAcceptedKey(uint16_t(key & 0xFFFF)))
        return false;
    for (LKeyMacro& m : macros_)
        if (m.key == key) {
            m.commands = std::move(commands);
            return true;
        }
    macros_.push_back({key, std::move(commands)});
    return true;
}

void LKeyMacros::Remove(uint32_t key)
{
    macros_.erase(std::remove_if(macros_.begin(), macros_.end(), [&](const LKeyMacro& m) { return m.key == key; }),
                  macros_.end());
}

uint32_t LKeyMacros::KeyCode(uint16_t vk, bool alt, bool ctrl, bool shift)
{
    return uint32_t(vk) | (alt ? kAlt : 0) | (ctrl ? kCtrl : 0) | (shift ? kShift : 0);
}

namespace {

// Names of the Windows virtual keys, as the keyboard layout names them.
const char* VirtualKeyName(uint16_t vk)
{
    switch (vk) {
    case 0x08: return "Backspace";
    case 0x09: return "Tab";
    case 0x0C: return "Num 5";
    case 0x0D: return "Enter";
    case 0x10: return "Shift";
    case 0x11: return "Ctrl";
    case 0x12: return "Alt";
    case 0x13: return "Pause";
    case 0x14: return "Caps Lock";
    case 0x1B: return "Esc";
    case 0x20: return "Space";
    case 0x21: return "Page Up";
    case 0x22: return "Page Down";
    case 0x23: return "End";
    case 0x24: return "Home";
    case 0x25: return "Left";
    case 0x26: return "Up";
    case 0x27: return "Right";
    case 0x28: return "Down";
    case 0x2C: return "Sys Req";
    case 0x2D: return "Insert";
    case 0x2E: return "Delete";
    case 0x5B: return "Left Windows";
    case 0x5C: return "Right Windows";
    case 0x5D: return "Application";
    case 0x6A: return "Num *";
    case 0x6B: return "Num +";
    case 0x6D: return "Num -";
    case 0x6E: return "Num Del";
    case 0x6F: return "Num /";
    case 0x90: return "Num Lock";
    case 0x91: return "Scroll Lock";
    case 0xBA: return ";";
    case 0xBB: return "=";
    case 0xBC: return ",";
    case 0xBD: return "-";
    case 0xBE: return ".";
    case 0xBF: return "/";
    case 0xC0: return "`";
    case 0xDB: return "[";
    case 0xDC: return "\\";
    case 0xDD: return "]";
    case 0xDE: return "'";
    default: return nullptr;
    }
}

} // namespace

std::string LKeyMacros::KeyName(uint32_t code)
{
    std::string name;
    if (code & kCtrl)
        name += "Ctrl+";
    if (code & kAlt)
        name += "Alt+";
    if (code & kShift)
        name += "Shift+";
    const uint16_t vk = uint16_t(code & 0xFFFF);
    char text[16];
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z'))
        return name + char(vk);
    if (vk >= 0x60 && vk <= 0x69)
        return name + "Num " + char('0' + (vk - 0x60));
    if (vk >= 0x70 && vk <= 0x87) {
        std::snprintf(text, sizeof text, "F%d", vk - 0x70 + 1);
        return name + text;
    }
    if (const char* known = VirtualKeyName(vk))
        return name + known;
    std::snprintf(text, sizeof text, "Key 0x%02X", vk);
    return name + text;
}

bool LKeyMacros::IsAcceptedKey(uint16_t vk)
{
    switch (vk) {
    case 0x00:                                          // no key
    case 0x0D:                                          // Enter
    case 0x10: case 0x11: case 0x12:                    // Shift, Ctrl, Alt
    case 0x1B:                                          // Escape
    case 0xA0: case 0xA1: case 0xA2: case 0xA3: case 0xA4: case 0xA5:  // left and right Shift, Ctrl, Alt
        return false;
    default: return true;
    }
}
