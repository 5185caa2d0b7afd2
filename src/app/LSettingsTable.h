#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/LRateQuality.h"

// Typed settings of the main window: each names its section, its value name and
// the default its readers pass, so every reader of one setting agrees. Reads
// never fail (a missing value gives the default); failed writes are ignored.
struct LSettingInt {
    const char* section;
    const char* name;
    int32_t def;
    int32_t Read() const;
    void Write(int32_t value) const;
};

struct LSettingBool {
    const char* section;
    const char* name;
    bool def;
    bool Read() const;
    void Write(bool value) const;
};

struct LSettingString {
    const char* section;
    const char* name;
    const char* def;
    std::string Read() const;
    void Write(const std::string& value) const;
};

namespace LKVSettings {
// Section "Settings": application preferences.
inline constexpr LSettingString kWorkingFolder{"Settings", "WorkingFolder", ""};
inline constexpr LSettingInt kSoundOutDevice{"Settings", "SoundOutDevice", 0};
inline constexpr LSettingInt kPlaySpeed{"Settings", "PlaySpeed", 1};
inline constexpr LSettingInt kPlayVolume{"Settings", "PlayVolume", 0};
inline constexpr LSettingBool kReduceVolWhenRewind{"Settings", "ReduceVolWhenRewind", false};
inline constexpr LSettingBool kPlayWhenOpen{"Settings", "PlayWhenOpen", true};
inline constexpr LSettingBool kPlayBookMark{"Settings", "PlayBookMark", false};
inline constexpr LSettingBool kAutoPlaybackAfterEffects{"Settings", "AutoPlaybackAfterEffects", true};
inline constexpr LSettingBool kPromptSampleAndChannels{"Settings", "PromptSampleAndChannels", true};
inline constexpr LSettingInt kDefaultSampleRate{"Settings", "DefaultSampleRate", 44100};
inline constexpr LSettingInt kDefaultChannels{"Settings", "DefaultChannels", 1};
inline constexpr LSettingInt kSelectedSampleRate{"Settings", "SelectedSampleRate", 44100};
inline constexpr LSettingInt kSelectedChannels{"Settings", "SelectedChannels", 1};
inline constexpr LSettingInt kAutoTrimThreshold{"Settings", "AutoTrimThreshold", -20};
inline constexpr LSettingBool kUseWindowsColor{"Settings", "UseWindowsColor", false};
// How new documents draw a stereo wave: 0 positive/negative, 1 left/right,
// 2 each channel in a lane of its own (the default for a new user).
// 3 draws every document as a spectrogram.
inline constexpr LSettingInt kWaveDisplayMode{"Settings", "WaveDisplayMode", 2};
// The spectrogram's FFT size (a power of two, 256..8192) and whether its
// frequency axis is logarithmic.
inline constexpr LSettingInt kSpectrogramFFTSize{"Settings", "SpectrogramFFTSize", 2048};
inline constexpr LSettingBool kSpectrogramLogFrequency{"Settings", "SpectrogramLogFrequency", true};
inline constexpr LSettingString kOpenFileDir{"Settings", "OpenFileDir", ""};
inline constexpr LSettingString kSaveAsDir{"Settings", "SaveAsDir", ""};
inline constexpr LSettingString kInsertFileDir{"Settings", "InsertFileDir", ""};
inline constexpr LSettingString kMixFileDir{"Settings", "MixFileDir", ""};
inline constexpr LSettingString kSaveRegionDir{"Settings", "SaveRegionDir", ""};
inline constexpr LSettingString kSaveProjectAsDir{"Settings", "SaveProjectAsDir", ""};
inline constexpr LSettingString kExportRegionFolder{"Settings", "ExportRegionFolder", ""};
inline constexpr LSettingInt kExportRegionFormat{"Settings", "ExportRegionFormat", 0};
inline constexpr LSettingBool kAutoGap{"Settings", "AutoGap", true};
inline constexpr LSettingInt kAutoGapTime{"Settings", "AutoGapTime", 300};  // ms
inline constexpr LSettingInt kTextToSpeechVoice{"Settings", "TextToSpeechVoice", 0};
// The text-to-speech dialog's speed (words per minute) and pitch (0..99).
inline constexpr LSettingInt kTextToSpeechSpeed{"Settings", "TextToSpeechSpeed", 175};
inline constexpr LSettingInt kTextToSpeechPitch{"Settings", "TextToSpeechPitch", 50};

// Section "StoredValues": the quality of Convert Sample Rate, of the batch
// command and of kelvane-batch --rate: an LRateQuality (0 Standard, 1 High).
inline constexpr LSettingInt kConvertRateQuality{"StoredValues", "ConvertRateQuality", 0};

// Section "StoreValues" (sic: not the effects' "StoredValues").
inline constexpr LSettingString kOpenProjectDir{"StoreValues", "OpenProjectDir", ""};

// Section "BatchConverter": output options of the batch converter.
inline constexpr LSettingBool kSaveSameFileFormat{"BatchConverter", "SaveSameFileFormat", true};
inline constexpr LSettingInt kSaveFileFormat{"BatchConverter", "SaveFileFormat", 0};
inline constexpr LSettingBool kSameOutputFolder{"BatchConverter", "SameOutputFolder", true};
inline constexpr LSettingString kOutputFolder{"BatchConverter", "OutputFolder", ""};

// Section "MainWindow": the frame's placement.
inline constexpr LSettingInt kWindowX{"MainWindow", "X", 160};
inline constexpr LSettingInt kWindowY{"MainWindow", "Y", 80};
inline constexpr LSettingInt kWindowWidth{"MainWindow", "Width", 740};
inline constexpr LSettingInt kWindowHeight{"MainWindow", "Height", 627};
inline constexpr LSettingBool kWindowMaximized{"MainWindow", "Maximized", true};

// Sections of the audio devices.
inline constexpr LSettingInt kPlayerDevice{"Player", "Device", 0};
inline constexpr LSettingInt kPlayerVolumeDB{"Player", "VolumeDB", 0};
inline constexpr LSettingInt kRecorderDevice{"Recorder", "Device", 0};
inline constexpr LSettingInt kRecorderChannel{"Recorder", "Channel", -1};
inline constexpr LSettingInt kRecorderVolume{"Recorder", "Volume", 0};
inline constexpr LSettingBool kRecorderAutotrim{"Recorder", "Autotrim", true};
inline constexpr LSettingBool kRecorderVor{"Recorder", "Vor", false};
inline constexpr LSettingInt kRecorderThreshold{"Recorder", "Threshold", -24};

// Section "CDRecorder".
inline constexpr LSettingInt kCDDrive{"CDRecorder", "CDDrive", 0};
inline constexpr LSettingInt kCDSpeed{"CDRecorder", "Speed", 65535};
inline constexpr LSettingBool kCDEraseCDRW{"CDRecorder", "EraseCDRW", true};
inline constexpr LSettingBool kCDOverburn{"CDRecorder", "Overburn", false};
inline constexpr LSettingBool kCDInternal{"CDRecorder", "Internal", true};

// Section "ToneGenerator": the tone generator's last values (LKVToneSettings).
// Frequencies and the amplitude in hundredths of Hz and dBFS, times in ms; the
// waveform is an LToneParams::Kind. Rate and channels default to the new-file ones.
inline constexpr LSettingInt kToneWaveform{"ToneGenerator", "Waveform", 0};
inline constexpr LSettingInt kToneFrequency{"ToneGenerator", "Frequency", 100000};
inline constexpr LSettingInt kToneEndFrequency{"ToneGenerator", "EndFrequency", 400000};
inline constexpr LSettingBool kToneLogSweep{"ToneGenerator", "LogSweep", true};
inline constexpr LSettingInt kToneAmplitude{"ToneGenerator", "Amplitude", -600};
inline constexpr LSettingInt kToneDuration{"ToneGenerator", "Duration", 1000};
inline constexpr LSettingString kToneDigits{"ToneGenerator", "DTMFDigits", "0123456789"};
inline constexpr LSettingInt kToneDigitTime{"ToneGenerator", "DTMFToneTime", 100};
inline constexpr LSettingInt kTonePauseTime{"ToneGenerator", "DTMFPauseTime", 100};
inline constexpr LSettingInt kToneFadeIn{"ToneGenerator", "FadeIn", 5};
inline constexpr LSettingInt kToneFadeOut{"ToneGenerator", "FadeOut", 5};
inline constexpr LSettingInt kToneSampleRate{"ToneGenerator", "SampleRate", 44100};
inline constexpr LSettingInt kToneChannels{"ToneGenerator", "Channels", 1};
inline constexpr LSettingBool kToneInsert{"ToneGenerator", "InsertAtCursor", false};

// Section "Email" (peripheral services).
inline constexpr LSettingBool kUseMAPI{"Email", "UseMAPI", true};
inline constexpr LSettingString kMailSMTPHost{"Email", "MailSMTPHost", ""};
inline constexpr LSettingString kReplyToEmail{"Email", "ReplyToEmail", ""};
// Seconds a mail server may stay silent before sending is given up.
inline constexpr LSettingInt kMailTimeout{"Email", "MailTimeout", 60};
} // namespace LKVSettings

// One row of the settings table: section, value name, kind and default as the
// stored text ("1"/"0" for booleans). Sections whose values are written as a
// block elsewhere (recent files, folders, encoders, raw and VOX audio, effect
// values) appear with the defaults their own readers use.
struct LSettingRow {
    enum class Kind : uint8_t { Int, Bool, String };
    std::string section;
    std::string name;
    Kind kind;
    std::string def;
};

// Users who ran the editor before the stereo lanes came keep the display they
// knew: at start-up, a settings file without "WaveDisplayMode" gets the
// positive/negative mode written into it. A new user (no settings file yet)
// gets the lanes.
void LKVKeepDisplayOfExistingUser();

// The stored conversion quality; any value but 1 reads as Standard.
LRateQuality LKVConvertRateQuality();

// Every setting the program reads, in one place: for the settings dialog, for
// documentation, and for the test that keeps the readers and this table in step.
const std::vector<LSettingRow>& LSettingsTable();
