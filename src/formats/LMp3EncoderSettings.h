#pragma once
#include <array>
#include <cstdint>

#include "formats/LEncodeDlgLists.h"

// Options of the MP3 encoder, kept in the settings section "MP3Encoder". A
// default-constructed value holds the defaults (what "restore defaults" shows).
struct LMp3EncoderSettings {
    static constexpr char kSection[] = "MP3Encoder";

    bool constantBitRate = false;  // "ConstantBitRate": CBR, else VBR
    int32_t cbrBitRate = 128;      // "CBRBitRate", kbit/s
    bool highQuality = true;       // "HighQuality": slower, better CBR search
    int32_t vbrMinBitRate = 32;    // "VBRMinBitRate", kbit/s
    int32_t vbrMaxBitRate = 128;   // "VBRMaxBitRate", kbit/s
    int32_t vbrQuality = 4;        // "VBRQuality", 0 best .. 9 smallest
    bool errorProtection = false;  // "ErrorProtection": CRC on every frame
    int32_t channelMode = 1;       // "ChannelMode": 0 stereo, 1 joint, 2 forced, 3 mono

    // The stored values over the defaults. A VBR range reaching above 160 kbit/s
    // starts at 32 kbit/s at least: the high MPEG-1 rates cannot be mixed with
    // the lowest ones.
    static LMp3EncoderSettings Read();
    void Write() const;

    // The dialog "LMp3EncodeDlg" through the user-interface port, opened on
    // `settings`; on OK the chosen values are stored and left in `settings`. Its
    // constant and variable bit-rate buttons each enable only their own controls
    // (bit rate and high quality; minimum, maximum and quality).
    static bool Dialog(LMp3EncoderSettings& settings);

    // The dialog's lists; the index of an entry is the stored value.
    static constexpr std::array<const char*, 10> kQualityNames = {
        "0 (Highest)", "1", "2", "3", "4", "5", "6", "7", "8", "9 (Lowest)"};
    static constexpr std::array<const char*, 4> kChannelModeNames = {"Stereo", "Joint", "Force", "Mono"};
};
