#include "display/LSpectrogramColours.h"

#include <cmath>

namespace {

struct Anchor {
    double at;
    double r, g, b;
};

// Hand-placed so that each step between anchors gains about the same lightness.
constexpr Anchor kAnchors[] = {
    {0.00, 0, 0, 4},      {0.15, 28, 12, 72},  {0.30, 86, 18, 110},  {0.45, 142, 36, 108},
    {0.60, 196, 62, 78},  {0.75, 238, 108, 40}, {0.88, 250, 170, 30}, {1.00, 252, 250, 170},
};

std::array<uint32_t, 256> Build()
{
    std::array<uint32_t, 256> map{};
    size_t k = 0;
    for (int32_t i = 0; i < 256; ++i) {
        const double t = i / 255.0;
        while (k + 2 < std::size(kAnchors) && t > kAnchors[k + 1].at)
            ++k;
        const Anchor &lo = kAnchors[k], &hi = kAnchors[k + 1];
        const double f = (t - lo.at) / (hi.at - lo.at);
        auto mix = [f](double x, double y) { return uint32_t(std::lround(x + (y - x) * f)); };
        map[size_t(i)] = (mix(lo.r, hi.r) << 16) | (mix(lo.g, hi.g) << 8) | mix(lo.b, hi.b);
    }
    return map;
}

} // namespace

const std::array<uint32_t, 256>& LSpectrogramColours::Map()
{
    static const std::array<uint32_t, 256> map = Build();
    return map;
}
