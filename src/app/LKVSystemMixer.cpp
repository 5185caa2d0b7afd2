#include "app/LKVSystemMixer.h"

#include "formats/LComponents.h"

std::vector<std::string> LKVSystemMixer::Command()
{
    if (std::string pavucontrol = LFindProgram("pavucontrol"); !pavucontrol.empty())
        return {pavucontrol, "--tab=4"};
    const std::string alsamixer = LFindProgram("alsamixer");
    if (alsamixer.empty())
        return {};
    // Terminals by how they take a command: the Debian alternative first.
    struct Terminal {
        const char* name;
        const char* run;
    };
    static constexpr Terminal kTerminals[] = {
        {"x-terminal-emulator", "-e"}, {"gnome-terminal", "--"}, {"konsole", "-e"},
        {"xfce4-terminal", "-x"},      {"mate-terminal", "-x"},  {"lxterminal", "-e"},
        {"xterm", "-e"},
    };
    for (const Terminal& t : kTerminals)
        if (std::string terminal = LFindProgram(t.name); !terminal.empty())
            return {terminal, t.run, alsamixer, "--view=capture"};
    return {};
}
