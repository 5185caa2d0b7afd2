#include "formats/LOggEncodePipe.h"

#include "core/LProcess.h"
#include "formats/LComponents.h"

LEncoderCommand LOggEncodePipe::BuildCommand(const std::string& componentPath, const std::string& fileName,
                                             const LOggEncoderSettings& s)
{
    const int32_t highest = s.averageBitRate ? s.abrBitRate : s.vbrMaxBitRate;
    const int32_t lowest = s.averageBitRate ? s.abrBitRate : s.vbrMinBitRate;

    // How the bit rates that move the rate and channels are named in the note.
    const std::string top = "Ogg Vorbis at " + std::string(s.averageBitRate ? "" : "up to ") +
                            std::to_string(highest) + " kbit/s";
    const std::string bottom = "Ogg Vorbis " + std::string(s.averageBitRate ? "at " : "down to ") +
                               std::to_string(lowest) + " kbit/s";
    std::string note;

    int32_t rate = s.sampleRate;
    if (highest < 97 || rate > 22049) {
        if (lowest < 48 && rate > 32000) {
            rate = 32000;
            AddEncoderNote(note, bottom + " takes 32000 Hz at most");
        }
    } else {
        rate = 22050;
        AddEncoderNote(note, top + " needs 22050 Hz or more");
    }

    int32_t channels = s.channels >= 2 ? 2 : 1;
    if (lowest < 40 && channels == 2) {
        channels = 1;
        AddEncoderNote(note, bottom + " is mono only");
    }

    std::string line = QuoteArgument(componentPath) + " -C " + std::to_string(channels);
    // Variable bit rate is quality alone: libvorbis refuses hard minimum and maximum
    // rates in quality mode for most pairs (the stored defaults among them, in mono),
    // which would fail every such save. The limits still steer the rate and channels.
    if (s.averageBitRate)
        line += " -b " + std::to_string(s.abrBitRate);
    else
        line += " -q " + std::to_string(s.vbrQuality);
    line += " -R " + std::to_string(rate) + " -Q - -o " + QuoteEncoderFileName(fileName);
    return {line, rate, uint8_t(channels), note, 0};
}

LSoundSink LOggEncodePipe::OpenOggSink(const std::string& fileName, const LOggEncoderSettings& settings)
{
    std::string component = LFindComponent("oggenc");
    if (component.empty())
        return {};
    return MakeSink<LPipe16Sink>(BuildCommand(component, fileName, settings));
}
