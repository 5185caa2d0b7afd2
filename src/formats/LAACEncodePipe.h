#pragma once
#include <cstdint>
#include <string>

#include "core/LSoundSink.h"
#include "formats/LAACEncoderSettings.h"
#include "formats/LPipe16Sink.h"

// Saving as AAC (".aac", ADTS) or M4A through the component "aacenc" (our
// adapter over libavcodec), fed raw PCM; the adapter picks the container from
// the output name.
class LAACEncodePipe {
public:
    // The command line and PCM format for saving `fileName`: the stored rate and
    // channels, except that low average bit rates go mono and mono at middling
    // bit rates is raised from rates too low for them. Nothing is started.
    static LEncoderCommand BuildCommand(const std::string& componentPath, const std::string& fileName,
                                        const LAACEncoderSettings& settings);

    // The AAC rate nearest `rate`: the rate of the file an encoder writes from
    // PCM at `rate`.
    static int32_t StandardRate(int32_t rate);

    // The encoder sink, already running; empty when the component cannot be found.
    static LSoundSink OpenAACSink(const std::string& fileName, const LAACEncoderSettings& settings);
};
