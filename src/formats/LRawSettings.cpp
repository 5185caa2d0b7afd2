#include "formats/LRawSettings.h"

#include <cctype>
#include <strings.h>

#include "core/LConsoleUi.h"
#include "core/LSettings.h"
#include "core/LUi.h"

static_assert(LConsoleUi::kRawCodings == kRawCodecCount, "the terminal knows every coding");

namespace {

bool IsVoxSection(const std::string& section) { return strcasecmp(section.c_str(), kVoxAudioSection) == 0; }

// Whole decimal number, blanks around it allowed; false for anything else.
bool ParseRate(const std::string& text, int64_t& value)
{
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    size_t digits = 0;
    value = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
        if (value < 100000000)
            value = value * 10 + (text[i] - '0');
        ++i;
        ++digits;
    }
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    return digits > 0 && i == text.size();
}

} // namespace

LRawSettings LRawSettings::Defaults(const std::string& section)
{
    LRawSettings s;
    if (IsVoxSection(section)) {
        s.sampleRate = 8000;
        s.codec = kRawCodecVox;
    }
    return s;
}

LRawSettings LRawSettings::Read(const std::string& section)
{
    LRawSettings d = Defaults(section);
    LRawSettings s;
    s.sampleRate = uint32_t(LSettings::ReadInt(section, "SampleRate", int32_t(d.sampleRate)));
    int32_t channels = LSettings::ReadInt(section, "Channels", d.channels);
    s.channels = uint8_t(channels >= 2 ? 2 : 1);
    s.codec = uint8_t(LSettings::ReadInt(section, "Codec", d.codec));
    return s;
}

void LRawSettings::Write(const std::string& section) const
{
    LSettings::WriteInt(section, "SampleRate", int32_t(sampleRate));
    LSettings::WriteInt(section, "Channels", channels);
    LSettings::WriteInt(section, "Codec", codec);
}

const char* LRawSettings::CodecName(int32_t codec)
{
    static constexpr const char* kNames[kRawCodecCount] = {"Dialogic ADPCM", "G711 uLaw",      "G711 aLaw",
                                                           "16 bit PCM (LE)", "8 bit unsigned", "8 bit signed",
                                                           "16 bit PCM (BE)"};
    return codec >= 0 && codec < kRawCodecCount ? kNames[codec] : "";
}

bool LRawSettings::SettingsDialog(LRawSettings& settings, const std::string& section)
{
    LUiRawAudioSettings values;
    values.sampleRate = settings.sampleRate;
    values.channels = settings.channels;
    values.codec = settings.codec;
    if (!LUiGet().RawSettingsDialog(section, values))
        return false;
    settings.sampleRate = values.sampleRate;
    settings.channels = values.channels;
    settings.codec = values.codec;
    return true;
}

bool LRawSettings::DialogOk(const std::string& section, int32_t codecIndex, const std::string& rateText,
                            int32_t channelIndex, LRawSettings& settings)
{
    int64_t rate = 0;
    if (!ParseRate(rateText, rate) || rate < kMinDialogRate || rate > kMaxDialogRate) {
        LUiGet().Message("Please enter a sample rate between 6000 and 196000.", "Error", LUiButtons::Ok,
                         LUiIcon::Stop);
        return false;
    }
    LRawSettings s;
    s.sampleRate = uint32_t(rate);
    s.channels = uint8_t(channelIndex >= 1 ? 2 : 1);
    s.codec = uint8_t(codecIndex >= 0 && codecIndex < kRawCodecCount ? codecIndex : Defaults(section).codec);
    s.Write(section);
    settings = s;
    return true;
}
