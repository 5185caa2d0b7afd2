#pragma once
#include <array>
#include <cstdint>

#include "effects/PointList.h"

// The equalizer's gain per frequency: 2048 bytes, 128 = unity, entry j for the
// frequency j * rate / 4096 (entry 2048 would be half the rate).
using LEqGainTable = std::array<uint8_t, 2048>;

// Builds the gain table from an equalizer curve at `rate` (44100 when not
// positive). Curve x is x * 78.125 Hz, so x = 255 is about 20 kHz; the curve is
// interpolated linearly between its points and the last point's y runs on to
// the end of the table. An empty curve gives a flat table.
LEqGainTable CreateEqFromPointList(const PointList& points, int32_t rate);
