#pragma once
#include <array>
#include <cstdint>

#include "formats/LEncodeDlgLists.h"

// Options of the AAC encoder (".aac" and ".m4a"), kept in the settings section
// "AACEncoder". A default-constructed value holds the defaults.
struct LAACEncoderSettings {
    static constexpr char kSection[] = "AACEncoder";

    bool averageBitRate = false;  // "AverageBitRate": ABR, else quality-based VBR
    int32_t abrBitRate = 128;     // "ABRBitRate", kbit/s for all channels
    int32_t vbrQuality = 100;     // "VBRQuality", 10 smallest .. 500 best
    int32_t channels = 2;         // "Channels", 1 or 2 (the opener limits it)
    int32_t sampleRate = 44100;   // "SampleRate", Hz
    // Whether "Channels" and "SampleRate" hold a value (the user confirmed the
    // dialog, or --set gave one). While they do not, or hold 0 ("Same as the
    // source"), a save keeps the document's channels and rate (ForDocument); the
    // values above are only the defaults.
    bool channelsStored = false;
    bool sampleRateStored = false;
    bool forceMpeg2 = false;      // "ForceMPEG2": MPEG-2 AAC for old players
    bool disableTns = false;      // "DisableTNS": no temporal noise shaping

    static LAACEncoderSettings Read();
    void Write() const;
    // These settings for saving a document of `documentRate` Hz and
    // `documentChannels` channels: the stored channels and rate where the user
    // chose them, else the document's. Without a document (0, 0: the batch
    // wizard) the ones the user did not choose are 0, "Same as the source". The
    // opener, the options dialog and the format report all start from this.
    LAACEncoderSettings ForDocument(int32_t documentRate, int32_t documentChannels) const;

    // The dialog "AACEncodeDlg" through the user-interface port, opened on
    // `settings`. On OK a quality of 0 is stored as 100, and the values are
    // stored and left in `settings` (a rate or channel count of 0 keeps each
    // source's own).
    static bool Dialog(LAACEncoderSettings& settings);

    // The quality list; entries are stored as the number they show.
    static constexpr std::array<LEncodeDlgChoice, 11> kQualities = {{
        {"10", 10},   {"50", 50},   {"100", 100}, {"150", 150}, {"200", 200}, {"250", 250},
        {"300", 300}, {"350", 350}, {"400", 400}, {"450", 450}, {"500", 500},
    }};
};
