#include "app/LSettingsTable.h"

#include "core/LFile.h"
#include "core/LSettings.h"
#include "effects/LEfStoredValues.h"
#include "formats/LAACEncoderSettings.h"
#include "formats/LFlacEncoderSettings.h"
#include "formats/LMp3EncoderSettings.h"
#include "formats/LOggEncoderSettings.h"
#include "formats/LRawSettings.h"

int32_t LSettingInt::Read() const { return LSettings::ReadInt(section, name, def); }
void LSettingInt::Write(int32_t value) const { LSettings::WriteInt(section, name, value); }
bool LSettingBool::Read() const { return LSettings::ReadBool(section, name, def); }
void LSettingBool::Write(bool value) const { LSettings::WriteBool(section, name, value); }
std::string LSettingString::Read() const { return LSettings::ReadString(section, name, def); }
void LSettingString::Write(const std::string& value) const { LSettings::WriteString(section, name, value); }

LRateQuality LKVConvertRateQuality()
{
    return LKVSettings::kConvertRateQuality.Read() == int32_t(LRateQuality::High) ? LRateQuality::High
                                                                                   : LRateQuality::Standard;
}

namespace {

using Kind = LSettingRow::Kind;

LSettingRow Row(const LSettingInt& s) { return {s.section, s.name, Kind::Int, std::to_string(s.def)}; }
LSettingRow Row(const LSettingBool& s) { return {s.section, s.name, Kind::Bool, s.def ? "1" : "0"}; }
LSettingRow Row(const LSettingString& s) { return {s.section, s.name, Kind::String, s.def}; }
LSettingRow Row(const LEfStoredValue& s) { return {s.section, s.name, Kind::Int, std::to_string(s.def)}; }
LSettingRow Int(const char* section, const char* name, int32_t def) { return {section, name, Kind::Int, std::to_string(def)}; }
LSettingRow Bool(const char* section, const char* name, bool def) { return {section, name, Kind::Bool, def ? "1" : "0"}; }

std::vector<LSettingRow> Build()
{
    namespace S = LKVSettings;
    namespace E = LEfStored;
    std::vector<LSettingRow> t = {
        Row(S::kWorkingFolder), Row(S::kSoundOutDevice), Row(S::kPlaySpeed), Row(S::kPlayVolume),
        Row(S::kReduceVolWhenRewind), Row(S::kPlayWhenOpen), Row(S::kPlayBookMark),
        Row(S::kAutoPlaybackAfterEffects), Row(S::kPromptSampleAndChannels), Row(S::kDefaultSampleRate),
        Row(S::kDefaultChannels), Row(S::kSelectedSampleRate), Row(S::kSelectedChannels),
        Row(S::kAutoTrimThreshold), Row(S::kUseWindowsColor), Row(S::kWaveDisplayMode), Row(S::kSpectrogramFFTSize),
        Row(S::kSpectrogramLogFrequency), Row(S::kOpenFileDir), Row(S::kSaveAsDir),
        Row(S::kInsertFileDir), Row(S::kMixFileDir), Row(S::kSaveRegionDir), Row(S::kSaveProjectAsDir),
        Row(S::kExportRegionFolder), Row(S::kExportRegionFormat), Row(S::kAutoGap), Row(S::kAutoGapTime),
        Row(S::kTextToSpeechVoice), Row(S::kTextToSpeechSpeed), Row(S::kTextToSpeechPitch),

        Row(E::kSilenceTimes), Row(E::kAmplifyGain), Row(E::kNormalizePeakLevel), Row(E::kLowCutFreq),
        Row(E::kEchoTime), Row(E::kEchoGain), Row(E::kReverbTime), Row(E::kReverbLevel), Row(E::kNoiseGateLevel),
        Row(E::kSpSpeedPitch), Row(E::kConstPitchSpeed), Row(E::kConstSpeedPitch), Row(E::kCompressorThreshold),
        Row(E::kCompressorRatio), Row(E::kCompressorLimit), Row(E::kPasteMixVolume), Row(E::kLongerSelection),
        Row(E::kFadeOutTime), Row(E::kRepeatNumTimes), Int("StoredValues", "ConvertSampleRate", 44100),
        Row(S::kConvertRateQuality), Int("StoredValues", "ConvertChannel", 1),

        Row(S::kOpenProjectDir),
        Row(S::kSaveSameFileFormat), Row(S::kSaveFileFormat), Row(S::kSameOutputFolder), Row(S::kOutputFolder),
        Row(S::kWindowX), Row(S::kWindowY), Row(S::kWindowWidth), Row(S::kWindowHeight), Row(S::kWindowMaximized),
        {"Folders", "DataFiles", Kind::String, ""}, {"Folders", "Current", Kind::String, ""},
        {"Folders", "AppData", Kind::String, ""},
        Row(S::kPlayerDevice), Row(S::kPlayerVolumeDB),
        Row(S::kRecorderDevice), Row(S::kRecorderChannel), Row(S::kRecorderVolume), Row(S::kRecorderAutotrim),
        Row(S::kRecorderVor), Row(S::kRecorderThreshold),
        Row(S::kCDDrive), Row(S::kCDSpeed), Row(S::kCDEraseCDRW), Row(S::kCDOverburn), Row(S::kCDInternal),
        Row(S::kToneWaveform), Row(S::kToneFrequency), Row(S::kToneEndFrequency), Row(S::kToneLogSweep),
        Row(S::kToneAmplitude), Row(S::kToneDuration), Row(S::kToneDigits), Row(S::kToneDigitTime),
        Row(S::kTonePauseTime), Row(S::kToneFadeIn), Row(S::kToneFadeOut), Row(S::kToneSampleRate),
        Row(S::kToneChannels), Row(S::kToneInsert),
        // The virtual CD drives (read by cd/LCDDrives), entries separated by commas.
        {"CD", "VirtualDrives", Kind::String, ""},
    };
    for (const char* section : {"RawAudio", "VoxAudio"}) {
        const LRawSettings d = LRawSettings::Defaults(section);
        t.push_back(Int(section, "SampleRate", int32_t(d.sampleRate)));
        t.push_back(Int(section, "Channels", d.channels));
        t.push_back(Int(section, "Codec", d.codec));
    }
    {
        const LMp3EncoderSettings d;
        const char* s = LMp3EncoderSettings::kSection;
        t.insert(t.end(), {Bool(s, "ConstantBitRate", d.constantBitRate), Int(s, "CBRBitRate", d.cbrBitRate),
                           Bool(s, "HighQuality", d.highQuality), Int(s, "VBRMinBitRate", d.vbrMinBitRate),
                           Int(s, "VBRMaxBitRate", d.vbrMaxBitRate), Int(s, "VBRQuality", d.vbrQuality),
                           Bool(s, "ErrorProtection", d.errorProtection), Int(s, "ChannelMode", d.channelMode)});
    }
    {
        const LOggEncoderSettings d;
        const char* s = LOggEncoderSettings::kSection;
        t.insert(t.end(), {Bool(s, "AverageBitRate", d.averageBitRate), Int(s, "ABRBitRate", d.abrBitRate),
                           Int(s, "VBRMinBitRate", d.vbrMinBitRate), Int(s, "VBRMaxBitRate", d.vbrMaxBitRate),
                           Int(s, "VBRQuality", d.vbrQuality), Int(s, "Channels", d.channels),
                           Int(s, "SampleRate", d.sampleRate)});
    }
    {
        const LFlacEncoderSettings d;
        const char* s = LFlacEncoderSettings::kSection;
        t.insert(t.end(), {Int(s, "Compression", d.compression), Int(s, "Channels", d.channels),
                           Int(s, "SampleRate", d.sampleRate)});
    }
    {
        const LAACEncoderSettings d;
        const char* s = LAACEncoderSettings::kSection;
        t.insert(t.end(), {Bool(s, "AverageBitRate", d.averageBitRate), Int(s, "ABRBitRate", d.abrBitRate),
                           Int(s, "VBRQuality", d.vbrQuality), Int(s, "Channels", d.channels),
                           Int(s, "SampleRate", d.sampleRate), Bool(s, "ForceMPEG2", d.forceMpeg2),
                           Bool(s, "DisableTNS", d.disableTns)});
    }
    for (int slot = 1; slot <= 11; ++slot) {
        t.push_back({"Recent", "RecentFile " + std::to_string(slot), Kind::String, ""});
        t.push_back({"Recent", "RecentFileDate" + std::to_string(slot), Kind::Int, "0"});
    }
    t.insert(t.end(), {Row(LKVSettings::kUseMAPI), Row(LKVSettings::kMailSMTPHost), Row(LKVSettings::kReplyToEmail),
                       Row(LKVSettings::kMailTimeout)});
    return t;
}

} // namespace

const std::vector<LSettingRow>& LSettingsTable()
{
    static const std::vector<LSettingRow> table = Build();
    return table;
}

void LKVKeepDisplayOfExistingUser()
{
    namespace S = LKVSettings;
    if (!FileExists(LSettings::IniPath()))
        return;
    // A sentinel no user writes: tells a missing value from a stored one.
    const std::string stored = LSettings::ReadString(S::kWaveDisplayMode.section, S::kWaveDisplayMode.name, "\x01");
    if (stored == "\x01")
        S::kWaveDisplayMode.Write(0);
}
