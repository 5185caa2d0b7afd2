#pragma once
#include <array>
#include <cstdint>

#include "formats/LEncodeDlgLists.h"

// Options of the Ogg Vorbis encoder, kept in the settings section "OggEncoder".
// A default-constructed value holds the defaults.
struct LOggEncoderSettings {
    static constexpr char kSection[] = "OggEncoder";

    bool averageBitRate = false;  // "AverageBitRate": ABR, else quality-based VBR
    int32_t abrBitRate = 128;     // "ABRBitRate", kbit/s
    int32_t vbrMinBitRate = 96;   // "VBRMinBitRate", kbit/s
    int32_t vbrMaxBitRate = 128;  // "VBRMaxBitRate", kbit/s
    int32_t vbrQuality = 4;       // "VBRQuality", 0 smallest .. 10 best
    int32_t channels = 1;         // "Channels", 1 or 2 (the opener limits it)
    int32_t sampleRate = 44100;   // "SampleRate", Hz
    // Whether "Channels" and "SampleRate" hold a value (the user confirmed the
    // dialog, or --set gave one). While they do not, or hold 0 ("Same as the
    // source"), a save keeps the document's channels and rate (ForDocument); the
    // values above are only the defaults.
    bool channelsStored = false;
    bool sampleRateStored = false;

    // The stored values over the defaults, with the VBR minimum raised to 32
    // kbit/s when the maximum is above 160.
    static LOggEncoderSettings Read();
    void Write() const;
    // These settings for saving a document of `documentRate` Hz and
    // `documentChannels` channels: the stored channels and rate where the user
    // chose them, else the document's. Without a document (0, 0: the batch
    // wizard) the ones the user did not choose are 0, "Same as the source". The
    // opener, the options dialog and the format report all start from this.
    LOggEncoderSettings ForDocument(int32_t documentRate, int32_t documentChannels) const;

    // The dialog "OggEncodeDlg" through the user-interface port, opened on
    // `settings`; on OK the chosen values are stored and left in `settings`.
    static bool Dialog(LOggEncoderSettings& settings);

    // The quality list; the index of an entry is the stored value.
    static constexpr std::array<const char*, 11> kQualityNames = {
        "0 (Lowest)", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10 (Highest)"};
};
