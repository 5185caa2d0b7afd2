#pragma once
#include <cstdint>
#include <string>

#include "core/LSoundSink.h"
#include "formats/LFlacEncoderSettings.h"
#include "formats/LPipe16Sink.h"

// Saving as FLAC through the component "flacenc" (the flac program), fed raw PCM.
class LFlacEncodePipe {
public:
    // The command line and PCM format for saving `fileName` at the stored rate and
    // channels (limited to 1..2). Nothing is started.
    static LEncoderCommand BuildCommand(const std::string& componentPath, const std::string& fileName,
                                        const LFlacEncoderSettings& settings);

    // The encoder sink, already running; empty when the component cannot be found.
    static LSoundSink OpenFlacSink(const std::string& fileName, const LFlacEncoderSettings& settings);
};
