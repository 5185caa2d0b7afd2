#pragma once
#include <array>
#include <cstdint>

// The spectrogram's colour map: 256 colours 0xRRGGBB from black through
// indigo, purple, red and orange to pale yellow, lightness rising steadily so
// that louder always reads brighter, in colour or in grey.
class LSpectrogramColours {
public:
    static const std::array<uint32_t, 256>& Map();
};
