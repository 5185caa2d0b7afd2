#include "effects/LDecibelTables.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

struct Tables {
    std::array<int32_t, 256> amplitude{};
    std::array<int32_t, 256> power{};
};

int32_t RoundSaturated(double v)
{
    v += 0.5;
    return v >= 2147483647.0 ? INT32_MAX : int32_t(v);
}

const Tables& Get()
{
    static const Tables tables = [] {
        Tables t;
        for (int32_t db = -126; db <= 127; ++db) {
            t.amplitude[size_t(db + 128)] = RoundSaturated(std::pow(10.0, db / 20.0) * 16777216.0);
            t.power[size_t(db + 128)] = RoundSaturated(std::pow(10.0, db / 10.0) * 16777216.0);
        }
        return t;
    }();
    return tables;
}

} // namespace

int32_t DbAmplitude(int32_t db) { return Get().amplitude[size_t(std::clamp(db, -128, 127) + 128)]; }

int32_t DbPower(int32_t db) { return Get().power[size_t(std::clamp(db, -128, 127) + 128)]; }

int32_t BlockLevelDb(double meanSquare)
{
    if (!(meanSquare > 0.0))
        return -127;
    const double db = 10.0 * std::log10(meanSquare * 1.1920903375594525e-07);
    return int32_t(std::clamp(std::round(db), -127.0, 127.0));
}

double BlockMeanSquare(const int32_t* values, size_t count)
{
    if (count == 0)
        return 0.0;
    double sum = 0.0;
    for (size_t i = 0; i < count; ++i) {
        const double v = double(values[i] >> 5);
        sum += v * v;
    }
    return sum / double(count);
}
