#pragma once
#include <string>

#include "core/LSoundSink.h"
#include "core/LSoundSource.h"
#include "formats/LWaveFileFormat.h"

// RIFF WAVE files.
class LWaveFile {
public:
    // More than two channels are mixed down to stereo (LSRCMixDown).
    // Never fails to return a source: on failure an LSRCNull in state
    // kSrcCannotOpen (no such file) or kSrcInvalid (not a usable WAV); formats
    // that need a codec give kSrcNoCodec when it cannot be opened.
    static LSoundSource OpenSource(const std::string& path);

    // Uncompressed PCM: 1-8 bits give an 8-bit writer, 9-16 a 16-bit one, others
    // an empty handle. An existing file is kept up to `startFrame`.
    static LSoundSink OpenSinkPCM(const std::string& path, int32_t rate, int32_t startFrame, int32_t bits,
                                  uint8_t channels);

    // Any format block: PCM goes to OpenSinkPCM (so PCM wider than 16 bits gives an
    // empty handle), every other tag to the codec writer.
    static LSoundSink OpenSink(const std::string& path, const LWaveFileFormat& format);

    // Parses the RIFF structure of an open file, leaving it at the first data byte.
    // Exposed so that the codec reader shares it. False when the file is not a usable
    // WAV, including a codec format block whose sizes no real file has.
    struct Layout {
        LWaveFileFormat format;
        uint32_t dataSize = 0;
    };
    static bool ReadLayout(class LFile& file, Layout& layout);
    // The speaker positions an extensible format block names (WAV channel mask
    // bits); 0 for other blocks.
    static uint64_t ChannelMask(const LWaveFileFormat& format);
    // Whether a file of this format block is read through a codec (LSRCACMWave),
    // whose length is an estimate until the data runs out.
    static bool NeedsCodec(const LWaveFileFormat& format);
    // The layout of the WAV file at `path`; false when it cannot be opened or parsed.
    static bool ReadLayout(const std::string& path, Layout& layout);
};
