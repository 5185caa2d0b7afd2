#pragma once
#include <array>
#include <cstdint>
#include <string>

// SHA-1 of a short text, for the MusicBrainz disc id (which is defined over it).
class LSha1 {
public:
    static std::array<uint8_t, 20> Of(const std::string& bytes);
};
