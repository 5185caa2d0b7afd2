#pragma once
#include <array>
#include <cstdint>
#include <string>

// The output format table of the batch converter and of region export: stored
// settings hold an index into it, so the order is fixed.
inline constexpr std::array<const char*, 11> kLKVOutputFormats = {
    ".wav", ".mp3", ".au", ".aiff", ".gsm", ".vox", ".raw", ".ogg", ".flac", ".aac", ".m4a"};

// The extension at `index`, or empty for an index outside the table.
std::string LKVOutputFormat(int32_t index);
