#pragma once
#include <cstdint>
#include <string>

// The persistent settings: named values in named sections, stored as text in an
// INI file ($KELVANE_HOME/kelvane.ini, else $XDG_CONFIG_HOME/kelvane/kelvane.ini).
// Every reader passes its own default, and reads never fail. Writes replace the
// file atomically under a lock, so concurrent processes and a crash mid-write
// leave a whole file. Section and value names compare case-insensitively.
// A file that exists but cannot be read (permissions, too many open files, too
// large, an I/O error) is never written over: reads give the defaults, writes
// hold their values in memory for this process, and the user is told once
// (through LUi, on the user-interface thread) which file and why.
// Thread-safe.
class LSettings {
public:
    // Decimal text; missing or empty gives `def`, text that is not a number gives 0.
    static int32_t ReadInt(const std::string& section, const std::string& name, int32_t def);
    // Missing or empty gives `def`; text starting with '0' is false, other text true.
    static bool ReadBool(const std::string& section, const std::string& name, bool def);
    // Missing gives `def`.
    static std::string ReadString(const std::string& section, const std::string& name, const std::string& def = {});

    // Failed writes are ignored; they return false for callers that care. A
    // write refused because the file could not be read still holds for this
    // process, and reaches the file with the first write that can read it.
    static bool WriteInt(const std::string& section, const std::string& name, int32_t value);
    static bool WriteBool(const std::string& section, const std::string& name, bool value);
    static bool WriteString(const std::string& section, const std::string& name, const std::string& value);

    // A named data folder: the "Folders" value of that name, else the default
    // data folder with the name appended. Created when missing.
    static std::string GetFolder(const std::string& name = "DataFiles");

    // Overrides a value for this process only (nothing is written), as
    // kelvane-batch --set does. Overrides win over the file.
    static void SetOverride(const std::string& section, const std::string& name, const std::string& value);
    static void ClearOverrides();
    static bool HasOverride(const std::string& section, const std::string& name);
    static void RemoveOverride(const std::string& section, const std::string& name);

    static std::string IniPath();
    // $KELVANE_HOME, else $XDG_DATA_HOME/kelvane, else ~/.local/share/kelvane.
    static std::string DataHome();

    // Test seam: called after the new file is written and before it replaces the old one.
    static void SetBeforeReplaceHookForTest(void (*hook)());
};
