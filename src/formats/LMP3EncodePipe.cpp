#include "formats/LMP3EncodePipe.h"

#include <algorithm>
#include <cstdio>

#include "core/LProcess.h"
#include "formats/LComponents.h"

namespace {

// An MPEG audio sample rate for `rate` (at most 48000 here); below 8000 Hz, 8000.
int32_t SnapMpegRate(int32_t rate)
{
    if (rate > 44100 && rate < 48000)
        return 44100;
    if (rate > 32000 && rate < 44100)
        return 44100;
    if (rate > 24000 && rate < 32000)
        return 32000;
    if (rate > 22050 && rate < 24000)
        return 22050;
    if (rate > 16000 && rate < 22050)
        return 22050;
    if (rate > 11025 && rate < 16000)
        return 11025;
    if (rate > 8000 && rate < 11025)
        return 11025;
    if (rate < 8000)
        return 8000;
    return rate;
}

} // namespace

LEncoderCommand LMP3EncodePipe::BuildCommand(const std::string& componentPath, const std::string& fileName,
                                             const LMp3EncoderSettings& s, int32_t documentRate,
                                             uint8_t documentChannels)
{
    const int32_t highest = s.constantBitRate ? s.cbrBitRate : s.vbrMaxBitRate;
    const int32_t lowest = s.constantBitRate ? s.cbrBitRate : s.vbrMinBitRate;

    const std::string top = "MP3 at " + std::string(s.constantBitRate ? "" : "up to ") + std::to_string(highest) +
                            " kbit/s";
    const std::string bottom = "MP3 " + std::string(s.constantBitRate ? "at " : "down to ") +
                               std::to_string(lowest) + " kbit/s";
    std::string note;

    // Above 160 kbit/s only MPEG-1 rates (32000 Hz and up) will do.
    int32_t rate = std::min(documentRate, 48000);
    if (rate < documentRate)
        AddEncoderNote(note, "MP3 takes 48000 Hz at most");
    if (highest < 161 || rate >= 32000) {
        if (lowest < 32 && rate > 22050) {
            rate = 22050;
            AddEncoderNote(note, bottom + " takes 22050 Hz at most");
        }
        if (SnapMpegRate(rate) != rate) {
            rate = SnapMpegRate(rate);
            AddEncoderNote(note, "MP3 is saved at 8000, 11025, 16000, 22050, 24000, 32000, 44100 or 48000 Hz");
        }
    } else {
        rate = 44100;
        AddEncoderNote(note, top + " needs 32000 Hz or more");
    }

    int32_t channels = documentChannels >= 2 ? 2 : 1;
    if (lowest < 24 && channels == 2) {
        channels = 1;
        AddEncoderNote(note, bottom + " is mono only");
    }

    // The adapter reads mono PCM exactly when the mode is mono, so the mode
    // follows the channel count last.
    int32_t mode = s.channelMode >= 0 && s.channelMode <= 3 ? s.channelMode : 1;
    if (highest < 24 || channels != 2)
        mode = 3;
    if (channels == 2 && mode == 3)
        mode = 0;
    static constexpr const char* kModeLetters[] = {"s", "j", "f", "m"};

    std::string line = QuoteArgument(componentPath);
    line += " -m ";
    line += kModeLetters[mode];
    if (s.errorProtection)
        line += " -p";
    if (s.constantBitRate) {
        line += " -b " + std::to_string(s.cbrBitRate);
        if (s.highQuality)
            line += " -h";
    } else {
        line += " -v -b " + std::to_string(s.vbrMinBitRate) + " -B " + std::to_string(s.vbrMaxBitRate) + " -V " +
                std::to_string(s.vbrQuality);
    }
    char rateText[32];
    std::snprintf(rateText, sizeof rateText, "%d.%.3d", int(rate / 1000), int(rate % 1000));
    line += " -r -x -s ";
    line += rateText;
    line += " -S - " + QuoteEncoderFileName(fileName);
    return {line, rate, uint8_t(channels), note, 0};
}

LSoundSink LMP3EncodePipe::OpenMp3Sink(const std::string& fileName, const LMp3EncoderSettings& settings,
                                       int32_t documentRate, uint8_t documentChannels)
{
    std::string component = LFindComponent("mp3el");
    if (component.empty())
        return {};
    return MakeSink<LPipe16Sink>(BuildCommand(component, fileName, settings, documentRate, documentChannels));
}
