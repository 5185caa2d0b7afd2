#pragma once
#include <cstdint>

// One row of the compressor's ratio list: the name the dialog shows and the
// gain factor applied per decibel over the threshold, 10^(-(1 - 1/R)/20) for
// R:1 ("Limit" is R infinite).
struct CompressorRatioItem {
    const char* name;
    double factor;
};

// The seven ratios, "1:1" (index 0) to "Limit" (index 6). Stored values and
// batch data name a row by index.
class CompressorRatioList {
public:
    static constexpr int32_t kCount = 7;
    // nullptr when `index` names no row (7 or more, or negative).
    static const CompressorRatioItem* Find(int32_t index);
};
