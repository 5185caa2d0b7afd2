#pragma once
#include <cstdint>
#include <string>

#include "core/LSoundSink.h"
#include "formats/LOggEncoderSettings.h"
#include "formats/LPipe16Sink.h"

// Saving as Ogg Vorbis through the component "oggenc", fed raw PCM.
class LOggEncodePipe {
public:
    // The command line and PCM format for saving `fileName`: the stored rate and
    // channels, lowered where the bit rates are too small for them. Nothing is
    // started.
    static LEncoderCommand BuildCommand(const std::string& componentPath, const std::string& fileName,
                                        const LOggEncoderSettings& settings);

    // The encoder sink, already running; empty when the component cannot be found.
    static LSoundSink OpenOggSink(const std::string& fileName, const LOggEncoderSettings& settings);
};
