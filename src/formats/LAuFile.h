#pragma once
#include <cstdint>
#include <string>

#include "core/LSoundSink.h"
#include "core/LSoundSource.h"

// Sun/NeXT AU files (".au"): a big-endian 24-byte header, then the samples.
// Read: mu-law (encoding 1), 8-bit signed (2), 16-bit big-endian (3) and A-law
// (27). Written: 16-bit big-endian.
class LAuFile {
public:
    // More than two channels are mixed down to stereo (LSRCMixDown).
    // Never empty. Failures give an error source: kSrcCannotOpen when the file
    // cannot be opened, kSrcInvalid for a short or foreign header or an impossible
    // channel count, kSrcNoCodec for an encoding this program does not read.
    static LSoundSource OpenSource(const std::string& path);

    // The header as read, checked as OpenSource checks it.
    struct Header {
        uint32_t dataOffset = 0;
        uint32_t dataSize = 0;  // 0xFFFFFFFF: not given
        uint32_t encoding = 0;
        int32_t rate = 0;
        uint16_t channels = 0;
    };
    // Reads and checks the header of an open file: kSrcGood, kSrcInvalid for a
    // short or foreign header, a rate of 0 or above INT32_MAX or a channel count
    // outside 1..255, kSrcNoCodec for an encoding this program does not read.
    static uint8_t ReadHeader(class LFile& file, Header& header);
    // Names the coding of `encoding`, as "PCM 16-bit" or "mu-law".
    static const char* EncodingName(uint32_t encoding);

    // A 16-bit big-endian writer; the header's data size is 0xFFFFFFFF until the
    // sink is destroyed. The error bit is set when the file cannot be created.
    static LSoundSink OpenSink(const std::string& path, int32_t rate, uint8_t channels);

    static constexpr int32_t kHeaderBytes = 24;
};
