#pragma once
#include <cstdint>
#include <string>

#include "core/LSoundSink.h"
#include "core/LSoundSource.h"

// Apple AIFF files (".aif", ".aiff"): big-endian chunks "COMM" and "SSND" in a
// "FORM" of type "AIFF". Read: signed PCM of 1-16 bits per sample (9-16 as 16-bit
// words, 1-8 as bytes). Written: 16-bit with a 54-byte header. The compressed
// variant AIFC is not read.
class LAifFile {
public:
    // More than two channels are mixed down to stereo (LSRCMixDown).
    // Never empty. Failures give an error source: kSrcCannotOpen when the file
    // cannot be opened, kSrcInvalid for a missing, short or foreign structure
    // (AIFC included), kSrcNoCodec for samples wider than 16 bits.
    static LSoundSource OpenSource(const std::string& path);

    // What the chunks say, checked as OpenSource checks them.
    struct Layout {
        uint16_t channels = 0;
        uint16_t bits = 0;  // per sample
        int32_t rate = 0;
        int64_t dataStart = 0;
        int64_t dataSize = -1;  // bytes; -1 when the SSND size is 0xFFFFFFFF
    };
    // Walks the chunks of an open file: kSrcGood, kSrcInvalid for a missing,
    // short or foreign structure, a rate that reads as 0 or a channel count outside
    // 1..255, kSrcNoCodec for samples wider than 16 bits.
    static uint8_t ReadLayout(class LFile& file, Layout& layout);

    // A 16-bit writer; the SSND size is 0xFFFFFFFF until the sink is destroyed.
    // The error bit is set when the file cannot be created.
    static LSoundSink OpenSink(const std::string& path, int32_t rate, uint8_t channels);

    static constexpr int32_t kHeaderBytes = 54;

    // The 80-bit extended-precision form of a rate (>= 1) as the header stores it.
    static void WriteExtendedRate(uint8_t* out, uint32_t rate);
    // The rate of an 80-bit field, from its top 32 mantissa bits, rounded; 0 for
    // values below 1 or at or above 2^31.
    static int32_t ReadExtendedRate(const uint8_t* in);
};
