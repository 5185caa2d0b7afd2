#pragma once
#include <cstdint>
#include <string>

// How a file's audio is stored, as a description for the user: the coding
// ("PCM 16-bit", "A-law", "IEEE float 32-bit", "IMA ADPCM", "FLAC 24-bit", ...)
// and the file's own channel count, which the readers mix down to two.
struct LFileCoding {
    std::string coding;    // empty when nothing could be read
    int32_t channels = 0;  // 0 when unknown
    // The sample size of PCM, float and lossless codings, which the file keeps
    // exactly; 0 for the others (A-law, ADPCM, MP3, ...) and when unknown.
    int32_t bits = 0;
};

// Looks at `path` by its extension, as LGenSourceOpen chooses a reader: the
// headers of WAV, AIFF and AU files, the stored settings of raw and VOX files,
// and FFmpeg's view of the files that go to a decoder.
LFileCoding LDescribeFileCoding(const std::string& path);

// The coding of a WAV format block, seen through an extensible block's sub-format.
std::string LDescribeWavCoding(const class LWaveFileFormat& format);
