#include "formats/LAACEncodePipe.h"

#include "core/LProcess.h"
#include "formats/LComponents.h"

LEncoderCommand LAACEncodePipe::BuildCommand(const std::string& componentPath, const std::string& fileName,
                                             const LAACEncoderSettings& s)
{
    const int32_t storedChannels = s.channels >= 2 ? 2 : 1;
    int32_t rate = s.sampleRate;
    if (s.averageBitRate && storedChannels == 1) {
        if (s.abrBitRate >= 56 && s.abrBitRate <= 96 && rate == 8000)
            rate = 11025;
        else if (s.abrBitRate >= 65 && rate < 22050)
            rate = 22050;
    }

    int32_t channels = storedChannels;
    if (s.averageBitRate && s.abrBitRate < 40)
        channels = 1;

    std::string line = QuoteArgument(componentPath) + " -C " + std::to_string(channels);
    if (s.averageBitRate)
        line += " -b " + std::to_string(s.abrBitRate);
    else
        line += " -q " + std::to_string(s.vbrQuality);
    line += " -R " + std::to_string(rate);
    if (s.forceMpeg2)
        line += " --mpeg-vers 2";
    if (s.disableTns)
        line += " --no-tns";
    line += " -X - -o " + QuoteEncoderFileName(fileName);
    return {line, rate, uint8_t(channels)};
}

LSoundSink LAACEncodePipe::OpenAACSink(const std::string& fileName, const LAACEncoderSettings& settings)
{
    std::string component = LFindComponent("aacenc");
    if (component.empty())
        return {};
    return MakeSink<LPipe16Sink>(BuildCommand(component, fileName, settings));
}
