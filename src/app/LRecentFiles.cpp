#include "app/LRecentFiles.h"

#include <cerrno>
#include <cstdlib>

#include "core/LSettings.h"

namespace {

constexpr char kSection[] = "Recent";

std::string PathName(int32_t slot) { return "RecentFile " + std::to_string(slot); }
std::string TimeName(int32_t slot) { return "RecentFileDate" + std::to_string(slot); }

// Times are stored as decimal text in 64 bits so that they keep their order past 2038.
int64_t ParseTime(const std::string& text)
{
    errno = 0;
    char* end = nullptr;
    long long v = std::strtoll(text.c_str(), &end, 10);
    return errno == 0 && end != text.c_str() ? int64_t(v) : 0;
}

} // namespace

std::array<LRecentFiles::Slot, LRecentFiles::kSlots> LRecentFiles::Read()
{
    std::array<Slot, kSlots> slots;
    for (int32_t i = 0; i < kSlots; ++i) {
        slots[size_t(i)].path = LSettings::ReadString(kSection, PathName(i + 1));
        slots[size_t(i)].time = ParseTime(LSettings::ReadString(kSection, TimeName(i + 1)));
    }
    return slots;
}

void LRecentFiles::Add(const std::string& path, int64_t now)
{
    if (path.empty())
        return;
    const auto slots = Read();
    int32_t chosen = -1;
    for (int32_t i = 0; i < kSlots && chosen < 0; ++i)
        if (slots[size_t(i)].path == path)
            chosen = i;
    for (int32_t i = 0; i < kSlots && chosen < 0; ++i)
        if (slots[size_t(i)].path.empty())
            chosen = i;
    if (chosen < 0) {
        chosen = 0;
        for (int32_t i = 1; i < kSlots; ++i)
            if (slots[size_t(i)].time < slots[size_t(chosen)].time)
                chosen = i;
    }
    if (slots[size_t(chosen)].path != path)
        LSettings::WriteString(kSection, PathName(chosen + 1), path);
    LSettings::WriteString(kSection, TimeName(chosen + 1), std::to_string(now));
}

std::vector<LRecentFiles::MenuItem> LRecentFiles::Menu()
{
    std::vector<MenuItem> items;
    const auto slots = Read();
    for (int32_t i = 0; i < kSlots; ++i)
        if (!slots[size_t(i)].path.empty())
            items.push_back({kFirstCommand + i, "&" + std::to_string(i + 1) + ". " + slots[size_t(i)].path,
                             slots[size_t(i)].path});
    return items;
}

std::string LRecentFiles::PathOf(int32_t command)
{
    if (command < kFirstCommand || command >= kFirstCommand + kSlots)
        return {};
    return LSettings::ReadString(kSection, PathName(command - kFirstCommand + 1));
}
