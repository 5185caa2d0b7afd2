#include "formats/LComponents.h"

#include <cstdlib>
#include <unistd.h>

#include "core/LFile.h"
#include "core/LSettings.h"
#include "core/LUi.h"

namespace {

struct Default {
    const char* component;
    const char* program;
    const char* package;
    bool ours;  // shipped beside the editor
};

const Default kDefaults[] = {
    {"oggdec", "kelvane-avdec", "kelvane", true}, {"flacdec", "kelvane-avdec", "kelvane", true},
    {"aacdec", "kelvane-avdec", "kelvane", true}, {"oggenc", "oggenc", "vorbis-tools", false},
    {"flacenc", "flac", "flac", false},          {"mp3el", "kelvane-mp3el", "lame", true},
    {"aacenc", "kelvane-aacenc", "kelvane", true},
};

const Default* DefaultFor(const std::string& component)
{
    for (const Default& d : kDefaults)
        if (component == d.component)
            return &d;
    return nullptr;
}

bool Executable(const std::string& path) { return !path.empty() && FileExists(path) && ::access(path.c_str(), X_OK) == 0; }

} // namespace

std::string LExecutableFolder()
{
    char buffer[4096];
    ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return {};
    buffer[n] = 0;
    return GetFolderFromPath(buffer);
}

std::string LFindProgram(const std::string& name)
{
    if (name.find('/') != std::string::npos)
        return Executable(name) ? name : std::string();
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos)
            end = dirs.size();
        std::string candidate = FilePathCat(dirs.substr(start, end - start), name);
        if (Executable(candidate))
            return candidate;
        start = end + 1;
    }
    return {};
}

std::string LFindComponent(const std::string& component)
{
    std::string stored = LSettings::ReadString("Components\\" + component, "Path");
    if (!stored.empty())
        return Executable(stored) ? stored : LFindProgram(stored);
    const Default* d = DefaultFor(component);
    if (!d)
        return {};
    if (d->ours) {
        std::string beside = FilePathCat(LExecutableFolder(), d->program);
        if (Executable(beside))
            return beside;
    }
    return LFindProgram(d->program);
}

int32_t LProcessGetComponentPath(LProgressDialog*, const std::string& component, std::string& path)
{
    path = LFindComponent(component);
    if (!path.empty())
        return 0;
    const Default* d = DefaultFor(component);
    std::string text = "Kelvane cannot install the required install-on-demand component \"" + component + "\".";
    if (d && d->ours)
        text += "\r\n\r\nIts program \"" + std::string(d->program) +
                "\" comes with Kelvane and should be beside it; reinstall Kelvane" +
                (std::string(d->package) != "kelvane" ? " and the Debian package \"" + std::string(d->package) + "\""
                                                      : std::string()) +
                ", or set its program under Components\\" + component + " in the settings.";
    else if (d)
        text += "\r\n\r\nPlease install the Debian package \"" + std::string(d->package) +
                "\" (for example: sudo apt-get install " + d->package + "), or set its program under "
                "Components\\" + component + " in the settings.";
    LUiGet().Message(text, "Error", LUiButtons::Ok, LUiIcon::Stop);
    return 2;
}
