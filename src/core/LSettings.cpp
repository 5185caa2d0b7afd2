#include "core/LSettings.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <strings.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "core/LDispatcher.h"
#include "core/LFile.h"
#include "core/LUi.h"

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

// A settings file larger than this is not ours to parse (nor to replace).
constexpr off_t kMaxFileBytes = 64 << 20;

enum class FileRead : uint8_t { Ok, Missing, Failed };

// Reads the whole file at `path`. Only a file that does not exist is Missing:
// any other failure (permissions, too many open files, a folder or a huge file
// in its place, an I/O error) is Failed with the system's reason in `reason`.
FileRead ReadWhole(const std::string& path, std::string& content, std::string& reason)
{
    content.clear();
    int fd;
    do {
        // Non-blocking, so that a FIFO in the file's place cannot hang the reader.
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        reason = std::strerror(errno);
        return errno == ENOENT ? FileRead::Missing : FileRead::Failed;
    }
    FileRead result = FileRead::Ok;
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        reason = std::strerror(errno);
        result = FileRead::Failed;
    } else if (S_ISDIR(st.st_mode)) {
        reason = std::strerror(EISDIR);
        result = FileRead::Failed;
    } else if (!S_ISREG(st.st_mode)) {
        reason = "it is not a regular file";
        result = FileRead::Failed;
    } else if (st.st_size > kMaxFileBytes) {
        reason = std::strerror(EFBIG);
        result = FileRead::Failed;
    } else {
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                reason = std::strerror(errno);
                result = FileRead::Failed;
                break;
            }
            if (n == 0)
                break;
            content.append(buffer, size_t(n));
            if (content.size() > size_t(kMaxFileBytes)) {
                reason = std::strerror(EFBIG);
                result = FileRead::Failed;
                break;
            }
        }
    }
    ::close(fd);
    if (result != FileRead::Ok)
        content.clear();
    return result;
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
    // Values written while the file could not be read: never written over a
    // file we could not read (that would replace every other setting with
    // these), they hold for this process and go into the file with the first
    // write that finds it readable again.
    Ini pending;
    bool failureReported = false;
    void (*beforeReplace)() = nullptr;
};

Store& TheStore()
{
    static Store store;
    return store;
}

// Tells the user, once per process, that the settings file could not be read.
// Posted to the user-interface thread, since settings are read on any thread.
// Called with the mutex held.
void ReportFailure(Store& store, const std::string& path, const std::string& reason)
{
    if (store.failureReported)
        return;
    store.failureReported = true;
    const std::string text = "Kelvane could not read its settings file \"" + path + "\": " + reason +
                             ".\r\n\r\nKelvane runs with its default settings and leaves the file as it is. "
                             "Settings you change are used until Kelvane closes, and saved only once the file "
                             "can be read again.";
    LUiDispatcher().Post([text] { LUiGet().Message(text, "Settings", LUiButtons::Ok, LUiIcon::Exclamation); });
}

// Refreshes the cached file when it changed on disk. Called with the mutex held.
const Ini& Current(Store& store)
{
    std::string path = LSettings::IniPath();
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) {
        if (errno != ENOENT)
            ReportFailure(store, path, std::strerror(errno));
        store.ini.clear();
        store.cached = false;
        return store.ini;
    }
    if (store.cached && store.cachedPath == path && st.st_mtim.tv_sec == store.mtime.tv_sec &&
        st.st_mtim.tv_nsec == store.mtime.tv_nsec && st.st_size == store.size && st.st_ino == store.inode)
        return store.ini;
    std::string content, reason;
    const FileRead read = ReadWhole(path, content, reason);
    store.ini = read == FileRead::Ok ? Parse(content) : Ini{};
    // A file that could not be read is tried again on the next read: the
    // cause (too many open files, say) may pass.
    store.cached = read == FileRead::Ok;
    if (read == FileRead::Failed)
        ReportFailure(store, path, reason);
    store.cachedPath = path;
    store.mtime = st.st_mtim;
    store.size = st.st_size;
    store.inode = st.st_ino;
    return store.ini;
}

bool Lookup(const std::string& section, const std::string& name, std::string& text)
{
    Store& store = TheStore();
    std::lock_guard lock(store.mutex);
    const std::string* found = Find(store.overrides, section, name);
    if (!found)
        found = Find(store.pending, section, name);
    if (!found)
        found = Find(Current(store), section, name);
    if (!found)
        return false;
    text = *found;
    return true;
}

// Writes one value into the file, with the cross-process lock held.
bool WriteLocked(Store& store, const std::string& path, const std::string& section, const std::string& name,
                 const std::string& text)
{
    std::string content, reason;
    const FileRead read = ReadWhole(path, content, reason);
    if (read == FileRead::Failed) {
        Set(store.pending, section, name, text);
        ReportFailure(store, path, reason);
        return false;
    }
    Ini ini = read == FileRead::Ok ? Parse(content) : Ini{};
    for (const Section& s : store.pending)
        for (const Value& v : s.values)
            Set(ini, s.name, v.name, v.text);
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
    else
        store.pending.clear();
    store.cached = false;
    return ok;
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
    const bool ok = WriteLocked(store, path, section, name, text);
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
