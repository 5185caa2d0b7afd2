#include "formats/LGenSink.h"

#include <strings.h>

#include "formats/LAACEncodePipe.h"
#include "formats/LAACEncoderSettings.h"
#include "formats/LAifFile.h"
#include "formats/LAuFile.h"
#include "formats/LComponents.h"
#include "formats/LFlacEncodePipe.h"
#include "formats/LFlacEncoderSettings.h"
#include "formats/LGenSource.h"
#include "formats/LMP3EncodePipe.h"
#include "formats/LMp3EncoderSettings.h"
#include "formats/LOggEncodePipe.h"
#include "formats/LOggEncoderSettings.h"
#include "formats/LRawFile.h"
#include "formats/LRawSettings.h"
#include "formats/LWaveFile.h"
#include "formats/LWaveSaveFormat.h"
#include "formats/gsm/LGSMFile.h"

namespace {

bool Is(const std::string& ext, const char* want) { return strcasecmp(ext.c_str(), want) == 0; }
bool IsAac(const std::string& ext) { return Is(ext, ".aac") || Is(ext, ".m4a"); }

const char* EncoderComponent(const std::string& ext)
{
    if (Is(ext, ".mp3"))
        return "mp3el";
    if (Is(ext, ".ogg"))
        return "oggenc";
    if (Is(ext, ".flac"))
        return "flacenc";
    if (IsAac(ext))
        return "aacenc";
    return nullptr;
}

bool IsOwnWriterType(const std::string& ext)
{
    for (const char* own : {".wav", ".au", ".aif", ".aiff", ".gsm", ".vox", ".raw"})
        if (Is(ext, own))
            return true;
    return false;
}

} // namespace

bool LGenSinkHasWriter(const std::string& ext) { return IsOwnWriterType(ext) || EncoderComponent(ext) != nullptr; }

bool LGenSinkIsSupported(const std::string& ext)
{
    if (IsOwnWriterType(ext))
        return true;
    const char* component = EncoderComponent(ext);
    if (!component)
        return false;
    std::string path;
    return LProcessGetComponentPath(nullptr, component, path) == 0;
}

bool LGenSinkHasOptions(const std::string& ext)
{
    for (const char* e : {".wav", ".vox", ".raw", ".mp3", ".ogg", ".flac", ".aac", ".m4a"})
        if (Is(ext, e))
            return true;
    return false;
}

bool LGenSinkCheckSettings(const std::string& ext, int32_t rate, uint8_t channels)
{
    if (Is(ext, ".wav"))
        return LWaveSaveFormat::OptionsDialog(rate, channels);
    if (Is(ext, ".au") || Is(ext, ".aif") || Is(ext, ".aiff") || Is(ext, ".gsm"))
        return true;
    if (Is(ext, ".vox") || Is(ext, ".raw")) {
        const char* section = Is(ext, ".vox") ? kVoxAudioSection : kRawAudioSection;
        LRawSettings settings = LRawSettings::Read(section);
        if (Is(ext, ".raw")) {
            if (rate)
                settings.sampleRate = uint32_t(rate);
            if (channels)
                settings.channels = channels;
        }
        return LRawSettings::SettingsDialog(settings, section);
    }
    if (Is(ext, ".mp3")) {
        LMp3EncoderSettings s = LMp3EncoderSettings::Read();
        return LMp3EncoderSettings::Dialog(s);
    }
    // The dialog starts from what a save of this document would write.
    if (Is(ext, ".ogg")) {
        LOggEncoderSettings s = LOggEncoderSettings::Read().ForDocument(rate, channels);
        return LOggEncoderSettings::Dialog(s);
    }
    if (Is(ext, ".flac")) {
        LFlacEncoderSettings s = LFlacEncoderSettings::Read().ForDocument(rate, channels);
        return LFlacEncoderSettings::Dialog(s);
    }
    if (IsAac(ext)) {
        LAACEncoderSettings s = LAACEncoderSettings::Read().ForDocument(rate, channels);
        return LAACEncoderSettings::Dialog(s);
    }
    return false;
}

LSoundSink LGenSinkOpenSink(const std::string& path, int32_t rate, uint8_t channels,
                            const LWaveFileFormat* waveFormat)
{
    const std::string ext = LGenExtension(path);
    if (Is(ext, ".wav"))
        return LWaveFile::OpenSink(path, waveFormat ? *waveFormat : LWaveSaveFormat::Load(rate, channels));
    if (Is(ext, ".mp3"))
        return LMP3EncodePipe::OpenMp3Sink(path, LMp3EncoderSettings::Read(), rate, channels);
    if (Is(ext, ".aif") || Is(ext, ".aiff"))
        return LAifFile::OpenSink(path, rate, channels);
    if (Is(ext, ".au"))
        return LAuFile::OpenSink(path, rate, channels);
    if (Is(ext, ".gsm"))
        return LGSMFile::OpenSink(path);
    if (Is(ext, ".vox"))
        return LRawFile::OpenSink(path, LRawSettings::Read(kVoxAudioSection));
    if (Is(ext, ".raw"))
        return LRawFile::OpenSink(path, LRawSettings::Read(kRawAudioSection));
    if (Is(ext, ".ogg"))
        return LOggEncodePipe::OpenOggSink(path, LOggEncoderSettings::Read().ForDocument(rate, channels));
    if (Is(ext, ".flac"))
        return LFlacEncodePipe::OpenFlacSink(path, LFlacEncoderSettings::Read().ForDocument(rate, channels));
    if (IsAac(ext))
        return LAACEncodePipe::OpenAACSink(path, LAACEncoderSettings::Read().ForDocument(rate, channels));
    return {};
}

bool LGenSinkEncoderFormat(const std::string& ext, int32_t rate, uint8_t channels, LGenSinkEncoding& encoding)
{
    // The command lines are not used, so no program needs to be found.
    LEncoderCommand command;
    auto asked = [&](int32_t askedRate, int32_t askedChannels) {
        encoding.askedRate = askedRate;
        encoding.askedChannels = askedChannels >= 2 ? 2 : 1;
    };
    if (Is(ext, ".mp3")) {
        command = LMP3EncodePipe::BuildCommand({}, {}, LMp3EncoderSettings::Read(), rate, channels);
        asked(rate, channels);
    } else if (Is(ext, ".ogg")) {
        const LOggEncoderSettings s = LOggEncoderSettings::Read().ForDocument(rate, channels);
        command = LOggEncodePipe::BuildCommand({}, {}, s);
        asked(s.sampleRate, s.channels);
    } else if (Is(ext, ".flac")) {
        const LFlacEncoderSettings s = LFlacEncoderSettings::Read().ForDocument(rate, channels);
        command = LFlacEncodePipe::BuildCommand({}, {}, s);
        asked(s.sampleRate, s.channels);
    } else if (IsAac(ext)) {
        const LAACEncoderSettings s = LAACEncoderSettings::Read().ForDocument(rate, channels);
        command = LAACEncodePipe::BuildCommand({}, {}, s);
        asked(s.sampleRate, s.channels);
    } else {
        return false;
    }
    encoding.rate = command.FileRate();
    encoding.channels = command.channels;
    encoding.note = command.note;
    return true;
}
