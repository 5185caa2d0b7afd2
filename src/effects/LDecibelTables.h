#pragma once
#include <cstddef>
#include <cstdint>

// Decibels as Q24 factors (2^24 = 0 dB), for whole decibels -128..127. Both
// tables round to nearest and saturate at 0x7FFFFFFF; -128 and -127 dB are 0,
// which the dynamics use as silence. Built on first use, then read-only.

// round(10^(db/20) * 2^24): an amplitude factor. `db` outside -128..127 is held there.
int32_t DbAmplitude(int32_t db);
// round(10^(db/10) * 2^24): a power factor. `db` outside -128..127 is held there.
int32_t DbPower(int32_t db);

// A level in whole decibels of a block's mean square m (BlockMeanSquare),
// relative to m = 8388626: 10*log10(m * 1.1920903375594525e-07) rounded half
// away from zero and held to -127..127; silence (m = 0) is -127.
int32_t BlockLevelDb(double meanSquare);

// The mean square of `count` values each shifted right by 5 (arithmetic). The
// squares are summed in floating point: whole blocks of values amplified far
// beyond full scale would overflow a 64-bit integer sum.
double BlockMeanSquare(const int32_t* values, size_t count);
