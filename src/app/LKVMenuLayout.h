#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Where each command of the command table sits in the frame's menus. The frame
// builds its menu bar and the document window's context menu from this, so the
// layout is checked without a window.
struct LKVMenuEntry {
    enum class Kind : uint8_t {
        Command,      // the command `id`
        Separator,
        Submenu,      // `text` with `entries`
        RecentFiles,  // the filled recent-file slots (commands 1050..1060)
        WindowList,   // the document windows, first child identifier 11000
        KeyMacros,    // the key-macro editor (a frame item with no identifier)
    };
    Kind kind = Kind::Command;
    int32_t id = 0;
    const char* text = nullptr;
    std::vector<LKVMenuEntry> entries;
};

struct LKVMenu {
    const char* title;  // "&File", "&Edit", ...
    std::vector<LKVMenuEntry> entries;
};

// The menu bar, left to right.
const std::vector<LKVMenu>& LKVMenuBar();
// The document window's context menu: the Edit and Effects entries, then Set
// Bookmark and Add Region.
const std::vector<LKVMenuEntry>& LKVDocumentContextMenu();
// A command's name for messages and lists: its menu text without the mnemonic
// and the trailing dots, after its submenu's ("Insert Silence: Begin"); the
// recent files are "Recent File %d". "Command %d" for an unknown identifier.
std::string LKVCommandName(int32_t id);
// The first identifier of the Window menu's list of document windows.
inline constexpr int32_t kLKVFirstMdiChild = 11000;
