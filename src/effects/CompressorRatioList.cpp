#include "effects/CompressorRatioList.h"

namespace {
constexpr CompressorRatioItem kRows[CompressorRatioList::kCount] = {
    {"1:1", 1.0},
    {"3:2", 0.9623506263981255},
    {"2:1", 0.9440608762859234},
    {"3:1", 0.9261187281287935},
    {"4:1", 0.9172759353897796},
    {"5:1", 0.9120108393559098},
    {"Limit", 0.8912509382363546},
};
} // namespace

const CompressorRatioItem* CompressorRatioList::Find(int32_t index)
{
    return index >= 0 && index < kCount ? &kRows[index] : nullptr;
}
