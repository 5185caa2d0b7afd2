#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "formats/LRawCodec.h"

// Settings sections of headerless files: ".raw"/".snd" and ".vox".
inline constexpr char kRawAudioSection[] = "RawAudio";
inline constexpr char kVoxAudioSection[] = "VoxAudio";

// How to read or write a headerless file: rate, channels and coding, kept in the
// settings under "SampleRate", "Channels" and "Codec" of a section. Read fresh
// from the settings on every open.
struct LRawSettings {
    uint32_t sampleRate = 44100;  // Hz
    uint8_t channels = 1;         // 1 or 2
    uint8_t codec = kRawCodecPcm16LE;

    // The lowest and highest rate the dialog accepts, and the rates it offers.
    static constexpr int32_t kMinDialogRate = 6000;
    static constexpr int32_t kMaxDialogRate = 196000;
    static constexpr std::array<int32_t, 12> kDialogRates = {6000,  8000,  11025, 16000, 22050, 32000,
                                                             44100, 48000, 64000, 88200, 96000, 196000};

    // The defaults of a section: 44100 Hz mono 16-bit little-endian for
    // "RawAudio", 8000 Hz mono Dialogic ADPCM for "VoxAudio".
    static LRawSettings Defaults(const std::string& section);
    // The stored values of `section` over its defaults. Channels outside 1..2 are
    // taken as 1 and 2 (0 as 1), since no stream carries more than two.
    static LRawSettings Read(const std::string& section);
    void Write(const std::string& section) const;

    // The dialog text of a codec ("Dialogic ADPCM", ..., "16 bit PCM (BE)"); empty
    // for an unknown index.
    static const char* CodecName(int32_t codec);

    // Shows the settings dialog "LRawDlg" for `section` through the user-interface
    // port, starting from `settings`. True on OK, with `settings` updated and stored.
    static bool SettingsDialog(LRawSettings& settings, const std::string& section);

    // The dialog's OK step, called by the dialog with what the user chose: the
    // codec's list index, the typed rate and the channel list index (0 mono,
    // 1 stereo). A rate that is not a number in 6000..196000 shows "Please enter a
    // sample rate between 6000 and 196000." and returns false (the dialog stays
    // open). Otherwise stores the values under `section`, fills `settings` and
    // returns true.
    static bool DialogOk(const std::string& section, int32_t codecIndex, const std::string& rateText,
                         int32_t channelIndex, LRawSettings& settings);
};
