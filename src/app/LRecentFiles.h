#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The recently closed files: eleven slots in the settings section "Recent", each a
// path ("RecentFile %d") and the time it was last added ("RecentFileDate%d",
// seconds since 1970), slot numbers 1 to 11. The File menu lists the filled
// slots as commands 1050 to 1060.
class LRecentFiles {
public:
    static constexpr int32_t kSlots = 11;
    static constexpr int32_t kFirstCommand = 1050;  // slot 1; slot n is 1049 + n

    struct Slot {
        std::string path;  // empty: the slot is free
        int64_t time = 0;
    };
    struct MenuItem {
        int32_t command;
        std::string text;  // "&%d. %s": slot number and full path
        std::string path;
    };

    // The eleven slots as stored.
    static std::array<Slot, kSlots> Read();
    // Adds `path` at time `now`: a slot already holding it only takes the new
    // time; otherwise the first free slot takes it; otherwise the slot with the
    // oldest time (the lowest slot number among equal times) is replaced.
    static void Add(const std::string& path, int64_t now);
    // The filled slots in slot order.
    static std::vector<MenuItem> Menu();
    // The path behind a recent-file command, or empty.
    static std::string PathOf(int32_t command);
};
