#pragma once
#include <cstdint>
#include <string>

#include "core/LSoundSink.h"
#include "formats/LMp3EncoderSettings.h"
#include "formats/LPipe16Sink.h"

// Saving as MP3 through the component "mp3el" (our adapter over lame), which
// takes lame-style options and raw PCM on its standard input.
class LMP3EncodePipe {
public:
    // The command line and the PCM format for saving `fileName` from a document
    // of `documentRate` and `documentChannels`: the rate becomes one MPEG audio
    // can carry at the chosen bit rates (at most 48000 Hz), low bit rates go
    // mono. Nothing is started.
    static LEncoderCommand BuildCommand(const std::string& componentPath, const std::string& fileName,
                                        const LMp3EncoderSettings& settings, int32_t documentRate,
                                        uint8_t documentChannels);

    // The encoder sink, already running; empty when the component cannot be
    // found. The sink's rate and channels are the command's: the save job
    // converts the document to them.
    static LSoundSink OpenMp3Sink(const std::string& fileName, const LMp3EncoderSettings& settings,
                                  int32_t documentRate, uint8_t documentChannels);
};
