#include "app/LKVWindowPlacement.h"

#include <algorithm>

#include "app/LSettingsTable.h"

namespace S = LKVSettings;

LKVWindowPlacement LKVWindowPlacement::Read()
{
    LKVWindowPlacement p;
    p.rect = {S::kWindowX.Read(), S::kWindowY.Read(), S::kWindowWidth.Read(), S::kWindowHeight.Read()};
    p.maximized = S::kWindowMaximized.Read();
    return p;
}

void LKVWindowPlacement::Save(const LKVRect& window, bool maximized, bool minimized, const LKVRect& desktop)
{
    if (minimized)
        return;
    S::kWindowMaximized.Write(maximized);
    if (maximized)
        return;
    LKVRect r = window;
    const int64_t right = int64_t(r.x) + r.width;
    const int64_t desktopRight = int64_t(desktop.x) + desktop.width;
    if (right > desktopRight)
        r.width = int32_t(std::max<int64_t>(0, desktopRight - r.x));
    S::kWindowX.Write(r.x);
    S::kWindowY.Write(r.y);
    S::kWindowWidth.Write(r.width);
    S::kWindowHeight.Write(r.height);
}

LKVRect LKVWindowPlacement::FitInside(LKVRect r, const LKVRect& desktop)
{
    r.width = std::clamp(r.width, 1, std::max(1, desktop.width));
    r.height = std::clamp(r.height, 1, std::max(1, desktop.height));
    const int64_t maxX = int64_t(desktop.x) + desktop.width - r.width;
    const int64_t maxY = int64_t(desktop.y) + desktop.height - r.height;
    r.x = int32_t(std::clamp<int64_t>(r.x, desktop.x, std::max<int64_t>(desktop.x, maxX)));
    r.y = int32_t(std::clamp<int64_t>(r.y, desktop.y, std::max<int64_t>(desktop.y, maxY)));
    return r;
}
