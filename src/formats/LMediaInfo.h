#pragma once
#include <cstdint>
#include <string>

// What FFmpeg says about a file's audio, for describing files the program hands
// to a decoder. Implemented over libavformat.
struct LMediaInfo {
    std::string coding;    // the codec's name, with its sample size for lossless codecs ("FLAC 24-bit")
    int32_t channels = 0;  // as stored in the file
    int32_t bits = 0;      // the sample size of a lossless codec; 0 for the others
};

// False when FFmpeg finds no audio stream in the file.
bool LMediaProbe(const std::string& path, LMediaInfo& info);

// FFmpeg's name for the codec of WAV format tag `tag`; empty when it knows none.
std::string LMediaCodecNameForWavTag(uint16_t tag);
