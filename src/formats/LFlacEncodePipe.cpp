#include "formats/LFlacEncodePipe.h"

#include "core/LProcess.h"
#include "formats/LComponents.h"

LEncoderCommand LFlacEncodePipe::BuildCommand(const std::string& componentPath, const std::string& fileName,
                                              const LFlacEncoderSettings& s)
{
    const int32_t channels = s.channels >= 2 ? 2 : 1;
    std::string line = QuoteArgument(componentPath) + " --channels=" + std::to_string(channels) +
                       " --compression-level-" + std::to_string(s.compression) +
                       " --sample-rate=" + std::to_string(s.sampleRate) +
                       " --lax --endian=little --bps=16 --sign=signed -f - -o " + QuoteEncoderFileName(fileName);
    return {line, s.sampleRate, uint8_t(channels), {}, 0};
}

LSoundSink LFlacEncodePipe::OpenFlacSink(const std::string& fileName, const LFlacEncoderSettings& settings)
{
    std::string component = LFindComponent("flacenc");
    if (component.empty())
        return {};
    return MakeSink<LPipe16Sink>(BuildCommand(component, fileName, settings));
}
