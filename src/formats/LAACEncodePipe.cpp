#include "formats/LAACEncodePipe.h"

#include <cstdlib>

#include "core/LProcess.h"
#include "formats/LComponents.h"

int32_t LAACEncodePipe::StandardRate(int32_t rate)
{
    // From the highest down, so a rate halfway between two takes the higher, as
    // the adapter's encoder picks it.
    static constexpr int32_t kRates[] = {96000, 88200, 64000, 48000, 44100, 32000, 24000,
                                         22050, 16000, 12000, 11025, 8000,  7350};
    int32_t best = kRates[0];
    for (int32_t r : kRates)
        if (std::abs(r - rate) < std::abs(best - rate))
            best = r;
    return best;
}

LEncoderCommand LAACEncodePipe::BuildCommand(const std::string& componentPath, const std::string& fileName,
                                             const LAACEncoderSettings& s)
{
    const int32_t storedChannels = s.channels >= 2 ? 2 : 1;
    const std::string at = "AAC at " + std::to_string(s.abrBitRate) + " kbit/s";
    std::string note;
    int32_t rate = s.sampleRate;
    if (s.averageBitRate && storedChannels == 1) {
        if (s.abrBitRate >= 56 && s.abrBitRate <= 96 && rate == 8000) {
            rate = 11025;
            AddEncoderNote(note, at + " in mono needs 11025 Hz or more");
        } else if (s.abrBitRate >= 65 && rate < 22050) {
            rate = 22050;
            AddEncoderNote(note, at + " in mono needs 22050 Hz or more");
        }
    }

    int32_t channels = storedChannels;
    if (s.averageBitRate && s.abrBitRate < 40 && channels == 2) {
        channels = 1;
        AddEncoderNote(note, at + " is mono only");
    }

    // AAC files hold one of the standard rates; an encoder resamples the rest.
    const int32_t fileRate = StandardRate(rate);
    if (fileRate != rate)
        AddEncoderNote(note, "AAC is saved at 7350, 8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000, "
                             "64000, 88200 or 96000 Hz");

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
    return {line, rate, uint8_t(channels), note, fileRate};
}

LSoundSink LAACEncodePipe::OpenAACSink(const std::string& fileName, const LAACEncoderSettings& settings)
{
    std::string component = LFindComponent("aacenc");
    if (component.empty())
        return {};
    return MakeSink<LPipe16Sink>(BuildCommand(component, fileName, settings));
}
