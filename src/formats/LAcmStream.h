#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "formats/LWaveFileFormat.h"

// One conversion call: the caller fills the buffers and lengths, the stream
// reports how many source bytes it used and destination bytes it produced.
struct LAcmStreamHeader {
    const uint8_t* source = nullptr;
    uint32_t sourceLength = 0;
    uint32_t sourceUsed = 0;
    uint8_t* destination = nullptr;
    uint32_t destinationLength = 0;
    uint32_t destinationUsed = 0;
};

// Conversion flags, as the WAV code uses them.
enum : uint32_t {
    kAcmConvertBlockAlign = 0x04,  // use only whole source blocks
    kAcmConvertStart = 0x10,       // forget all state first (after a seek)
    kAcmConvertEnd = 0x20,         // the source is complete: flush what is held back
};

// The compressed-WAV codec port: converts between a WAV format and 16-bit PCM of
// the same rate and channels (at most two for encoding). Implemented over libavcodec.
class LAcmStream {
public:
    virtual ~LAcmStream() = default;
    // A stream from `from` to `to`, one of which must be 16-bit PCM; null when no
    // codec can do it.
    static std::unique_ptr<LAcmStream> Open(const LWaveFileFormat& from, const LWaveFileFormat& to);
    // Whether Open would succeed.
    static bool Query(const LWaveFileFormat& from, const LWaveFileFormat& to);

    // Source bytes to offer so that the output fits `destinationBytes` (0: cannot say).
    virtual uint32_t SourceSizeFor(uint32_t destinationBytes) = 0;
    // Destination bytes that `sourceBytes` can produce at most (0: cannot say).
    virtual uint32_t DestinationSizeFor(uint32_t sourceBytes) = 0;
    // Converts what fits; false when the codec failed.
    virtual bool Convert(LAcmStreamHeader& header, uint32_t flags) = 0;
};

// A WAV format that can be written, for the format chooser.
struct LAcmFormat {
    std::string name;    // codec name, e.g. "IMA ADPCM"
    std::string detail;  // e.g. "44,100 Hz, 4 Bit, Stereo, 88 kb/sec"
    LWaveFileFormat format;
};

class LAcmFormats {
public:
    // The formats this program can write at `rate`; `channels` 0 lists mono and stereo.
    static std::vector<LAcmFormat> List(int32_t rate, uint16_t channels);
};
