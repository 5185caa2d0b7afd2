#include "formats/LWaveSaveFormat.h"

#include <cstring>

#include "core/LFile.h"
#include "core/LSettings.h"
#include "core/LUi.h"
#include "formats/LAcmStream.h"

std::string LWaveSaveFormat::FilePath() { return FilePathCat(LSettings::GetFolder("AppData"), "WavCodec.wff"); }

LWaveFileFormat LWaveSaveFormat::Load(int32_t rate, uint16_t channels)
{
    LWaveFileFormat f = LWaveFileFormat::Pcm(rate, channels);
    LFile file;
    if (file.Open(FilePath(), LFile::Mode::Read))
        file.Read(f.Data(), LWaveFileFormat::kSize);
    return f;
}

bool LWaveSaveFormat::Store(const LWaveFileFormat& format)
{
    LFile file;
    return file.Open(FilePath(), LFile::Mode::Create) &&
           file.Write(format.Data(), LWaveFileFormat::kSize) == LWaveFileFormat::kSize;
}

bool LWaveSaveFormat::TestSupportedRecord(const LWaveFileFormat& format)
{
    if (format.Tag() == LWaveFileFormat::kTagPcm)
        return format.BitsPerSample() >= 1 && format.BitsPerSample() <= 16;
    return LAcmStream::Query(LWaveFileFormat::Pcm(int32_t(format.SamplesPerSec()), format.Channels()), format);
}

bool LWaveSaveFormat::Choose(LWaveFileFormat& format, uint16_t channels, const std::string& title)
{
    if (channels != 0)
        format.SetChannels(channels);
    const int32_t rate = int32_t(format.SamplesPerSec() ? format.SamplesPerSec() : 44100);
    for (;;) {
        // Plain PCM first, then every format a codec can write at this rate.
        std::vector<LAcmFormat> formats;
        for (uint16_t ch = 1; ch <= 2; ++ch)
            if (channels == 0 || ch == channels)
                for (uint16_t bits : {8, 16})
                    formats.push_back({"PCM", std::to_string(rate) + " Hz, " + std::to_string(bits) + " Bit, " +
                                                  (ch == 1 ? "Mono" : "Stereo"),
                                       LWaveFileFormat::Pcm(rate, ch, bits)});
        for (LAcmFormat& f : LAcmFormats::List(rate, channels))
            formats.push_back(f);
        std::vector<LUiChoice> choices;
        int32_t chosen = -1;
        for (size_t i = 0; i < formats.size(); ++i) {
            choices.push_back({formats[i].name, formats[i].detail});
            const LWaveFileFormat& f = formats[i].format;
            if (chosen < 0 && f.Tag() == format.Tag() && f.Channels() == format.Channels() &&
                f.BitsPerSample() == format.BitsPerSample() && f.AvgBytesPerSec() == format.AvgBytesPerSec())
                chosen = int32_t(i);
        }
        if (!LUiGet().WaveFormatChooser(title, choices, chosen) || chosen < 0 || size_t(chosen) >= formats.size())
            return false;
        const LWaveFileFormat& picked = formats[size_t(chosen)].format;
        if (TestSupportedRecord(picked)) {
            format = picked;
            return true;
        }
        LUiGet().Message("The requested format is not available because the required CODEC is not installed on "
                         "this computer.",
                         "Format Not Available", LUiButtons::Ok, LUiIcon::Stop);
    }
}

bool LWaveSaveFormat::OptionsDialog(int32_t rate, uint16_t channels)
{
    LWaveFileFormat f = Load(rate ? rate : 44100, channels ? channels : 1);
    if (f.Tag() == LWaveFileFormat::kTagPcm) {
        uint16_t bits = f.BitsPerSample();
        f = LWaveFileFormat::Pcm(rate ? rate : int32_t(f.SamplesPerSec()), channels ? channels : f.Channels(),
                                 bits ? bits : 16);
    }
    if (!Choose(f, 0, "Select Wave File Format"))
        return false;
    return Store(f);
}

bool LWaveSaveFormat::IsWide(const LWaveFileFormat& format)
{
    return (format.Coding() == LWaveFileFormat::kTagPcm && format.BitsPerSample() > 16) ||
           format.Coding() == LWaveFileFormat::kTagFloat;
}

std::optional<LWaveFileFormat> LWaveSaveFormat::SameWideCoding(const LWaveFileFormat& source, int32_t rate,
                                                               uint16_t channels)
{
    if (!IsWide(source))
        return std::nullopt;
    // The chooser's blocks for these are the program's own writers', built here
    // without asking the codecs. The narrowest width that holds the source's:
    // 20-bit PCM goes to 24.
    const uint16_t bits = source.BitsPerSample();
    if (source.Coding() == LWaveFileFormat::kTagFloat)
        return bits <= 64 ? std::optional(LWaveFileFormat::Float(rate, channels, bits <= 32 ? 32 : 64)) : std::nullopt;
    return bits <= 32 ? std::optional(LWaveFileFormat::ExtensiblePcm(rate, channels, bits <= 24 ? 24 : 32))
                      : std::nullopt;
}
