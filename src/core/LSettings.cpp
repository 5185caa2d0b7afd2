#include "core/LSettings.h"

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <strings.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "core/LFile.h"

namespace {

struct Value {
    std::string name;
    std::string text;
};

struct Section {
    std::string name;
    std::vector<Value> values;
};

using Ini = std::vector<Section>;

bool SameName(const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) == 0; }

std::string Escape(const std::string& text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
    return out;
}

std::string Unescape(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\\' && i + 1 < text.size()) {
            char n = text[++i];
            out += n == 'n' ? '\n' : n == 'r' ? '\r' : n;
        } else {
            out += c;
        }
    }
    return out;
}

std::string Trim(const std::string& s)
{
    size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos)
        return {};
    size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

Ini Parse(const std::string& content)
{
    Ini ini;
    Section* current = nullptr;
    size_t pos = 0;
    while (pos < content.size()) {
        size_t end = content.find('\n', pos);
        if (end == std::string::npos)
            end = content.size();
        std::string line = content.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::string trimmed = Trim(line);
        if (trimmed.empty() || trimmed[0] == ';' || trimmed[0] == '#')
            continue;
        if (trimmed[0] == '[' && trimmed.back() == ']') {
            std::string name = trimmed.substr(1, trimmed.size() - 2);
            auto it = std::find_if(ini.begin(), ini.end(), [&](const Section& s) { return SameName(s.name, name); });
            if (it == ini.end()) {
                ini.push_back({name, {}});
                current = &ini.back();
            } else {
                current = &*it;
            }
            continue;
        }
        size_t eq = line.find('=');
        if (eq == std::string::npos || !current)
            continue;
        std::string name = Trim(line.substr(0, eq));
        std::string text = Unescape(line.substr(eq + 1));
        auto it = std::find_if(current->values.begin(), current->values.end(),
                               [&](const Value& v) { return SameName(v.name, name); });
        if (it == current->values.end())
            current->values.push_back({name, text});
        else
            it->text = text;
    }
    return ini;
}

std::string Serialize(const Ini& ini)
{
    std::string out;
    for (const Section& section : ini) {
        out += "[" + section.name + "]\n";
        for (const Value& v : section.values)
            out += v.name + "=" + Escape(v.text) + "\n";
        out += "\n";
    }
    return out;
}

const std::string* Find(const Ini& ini, const std::string& section, const std::string& name)
{
    for (const Section& s : ini)
        if (SameName(s.name, section))
            for (const Value& v : s.values)
                if (SameName(v.name, name))
                    return &v.text;
    return nullptr;
}

void Set(Ini& ini, const std::string& section, const std::string& name, const std::string& text)
{
    auto s = std::find_if(ini.begin(), ini.end(), [&](const Section& x) { return SameName(x.name, section); });
    if (s == ini.end()) {
        ini.push_back({section, {}});
        s = ini.end() - 1;
    }
    auto v = std::find_if(s->values.begin(), s->values.end(), [&](const Value& x) { return SameName(x.name, name); });
    if (v == s->values.end())
        s->values.push_back({name, text});
    else
        v->text = text;
}

bool ReadWhole(const std::string& path, std::string& content)
{
    LFile file;
    if (!file.Open(path, LFile::Mode::Read))
        return false;
    int64_t size = file.GetFileSizeBytes();
    if (size > (64 << 20))
        return false;
    content.resize(size_t(size));
    content.resize(size_t(file.Read(content.data(), int32_t(size))));
    return true;
}

struct Store {
    std::mutex mutex;
    std::string cachedPath;
    struct timespec mtime {};
    off_t size = -1;
    ino_t inode = 0;
    bool cached = false;
    Ini ini;
    Ini overrides;
    void (*beforeReplace)() = nullptr;
};

Store& TheStore()
{
    static Store store;
    return store;
}

// Refreshes the cached file when it changed on disk. Called with the mutex held.
const Ini& Current(Store& store)
{
    std::string path = LSettings::IniPath();
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) {
        store.ini.clear();
        store.cached = false;
        return store.ini;
    }
    if (store.cached && store.cachedPath == path && st.st_mtim.tv_sec == store.mtime.tv_sec &&
        st.st_mtim.tv_nsec == store.mtime.tv_nsec && st.st_size == store.size && st.st_ino == store.inode)
        return store.ini;
    std::string content;
    store.ini = ReadWhole(path, content) ? Parse(content) : Ini{};
    store.cachedPath = path;
    store.mtime = st.st_mtim;
    store.size = st.st_size;
    store.inode = st.st_ino;
    store.cached = true;
    return store.ini;
}

bool Lookup(const std::string& section, const std::string& name, std::string& text)
{
    Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    const std::string* found = Find(store.overrides, section, name);
    if (!found)
        found = Find(Current(store), section, name);
    if (!found)
        return false;
    text = *found;
    return true;
}

bool WriteValue(const std::string& section, const std::string& name, const std::string& text)
{
    Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    std::string path = LSettings::IniPath();
    CreateFolders(GetFolderFromPath(path));

    // The lock file serialises writers of other processes (parallel batch workers).
    std::string lockPath = path + ".lock";
    int lockFd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (lockFd >= 0)
        flock(lockFd, LOCK_EX);

    std::string content;
    Ini ini = ReadWhole(path, content) ? Parse(content) : Ini{};
    Set(ini, section, name, text);
    std::string out = Serialize(ini);

    std::string temp = path + ".new." + std::to_string(getpid());
    bool ok = false;
    {
        LFile file;
        if (file.Open(temp, LFile::Mode::Create)) {
            ok = file.Write(out.data(), int32_t(out.size())) == int32_t(out.size()) && file.Flush();
        }
    }
    if (ok && store.beforeReplace)
        store.beforeReplace();
    if (ok)
        ok = ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok)
        ::unlink(temp.c_str());
    store.cached = false;

    if (lockFd >= 0) {
        flock(lockFd, LOCK_UN);
        ::close(lockFd);
    }
    return ok;
}

std::string EnvOr(const char* name, const std::string& fallback)
{
    const char* v = std::getenv(name);
    return v && *v ? std::string(v) : fallback;
}

std::string Home() { return EnvOr("HOME", "/tmp"); }

} // namespace

int32_t LSettings::ReadInt(const std::string& section, const std::string& name, int32_t def)
{
    std::string text;
    if (!Lookup(section, name, text) || text.empty())
        return def;
    // Decimal conversion as atol does it: leading blanks, a sign, digits up to the first
    // other character. Out-of-range values are clamped to 32 bits.
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min<int64_t>(value * 10 + (text[i] - '0'), int64_t(1) << 32);
    if (negative)
        value = -value;
    return int32_t(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

bool LSettings::ReadBool(const std::string& section, const std::string& name, bool def)
{
    std::string text;
    if (!Lookup(section, name, text) || text.empty())
        return def;
    return text[0] != '0';
}

std::string LSettings::ReadString(const std::string& section, const std::string& name, const std::string& def)
{
    std::string text;
    return Lookup(section, name, text) ? text : def;
}

bool LSettings::WriteInt(const std::string& section, const std::string& name, int32_t value)
{
    return WriteValue(section, name, std::to_string(value));
}

bool LSettings::WriteBool(const std::string& section, const std::string& name, bool value)
{
    return WriteValue(section, name, value ? "1" : "0");
}

bool LSettings::WriteString(const std::string& section, const std::string& name, const std::string& value)
{
    return WriteValue(section, name, value);
}

std::string LSettings::GetFolder(const std::string& name)
{
    std::string folder = ReadString("Folders", name);
    if (folder.empty())
        folder = FilePathCat(DataHome(), name);
    CreateFolders(folder);
    return folder;
}

void LSettings::SetOverride(const std::string& section, const std::string& name, const std::string& value)
{
    Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    Set(store.overrides, section, name, value);
}

bool LSettings::HasOverride(const std::string& section, const std::string& name)
{
    Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    return Find(store.overrides, section, name) != nullptr;
}

void LSettings::RemoveOverride(const std::string& section, const std::string& name)
{
    Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    for (Section& s : store.overrides)
        if (SameName(s.name, section))
            s.values.erase(std::remove_if(s.values.begin(), s.values.end(),
                                          [&](const Value& v) { return SameName(v.name, name); }),
                           s.values.end());
}

void LSettings::ClearOverrides()
{
    Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    store.overrides.clear();
}

std::string LSettings::IniPath()
{
    const char* home = std::getenv("KELVANE_HOME");
    if (home && *home)
        return FilePathCat(home, "kelvane.ini");
    return FilePathCat(FilePathCat(EnvOr("XDG_CONFIG_HOME", FilePathCat(Home(), ".config")), "kelvane"),
                       "kelvane.ini");
}

std::string LSettings::DataHome()
{
    const char* home = std::getenv("KELVANE_HOME");
    if (home && *home)
        return home;
    return FilePathCat(EnvOr("XDG_DATA_HOME", FilePathCat(Home(), ".local/share")), "kelvane");
}

void LSettings::SetBeforeReplaceHookForTest(void (*hook)())
{
    Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    store.beforeReplace = hook;
}
