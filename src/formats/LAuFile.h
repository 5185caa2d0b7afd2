#pragma once
#include <string>

#include "core/LSoundSink.h"
#include "core/LSoundSource.h"

// Sun/NeXT AU files (".au"): a big-endian 24-byte header, then the samples.
// Read: mu-law (encoding 1), 8-bit signed (2), 16-bit big-endian (3) and A-law
// (27). Written: 16-bit big-endian.
class LAuFile {
public:
    // Never empty. Failures give an error source: kSrcCannotOpen when the file
    // cannot be opened, kSrcInvalid for a short or foreign header or an impossible
    // channel count, kSrcNoCodec for an encoding this program does not read.
    static LSoundSource OpenSource(const std::string& path);
    // A 16-bit big-endian writer; the header's data size is 0xFFFFFFFF until the
    // sink is destroyed. The error bit is set when the file cannot be created.
    static LSoundSink OpenSink(const std::string& path, int32_t rate, uint8_t channels);

    static constexpr int32_t kHeaderBytes = 24;
};
