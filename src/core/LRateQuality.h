#pragma once
#include <cstdint>

// How a sample-rate conversion chosen by the user is computed. Standard is the
// 63-tap polyphase converter (LSRCConvertRate); High is libsoxr at its very high
// quality (LSRCSoxrRate), slower and about 60 dB cleaner. The numbers are the
// stored setting's values.
enum class LRateQuality : uint8_t { Standard = 0, High = 1 };
