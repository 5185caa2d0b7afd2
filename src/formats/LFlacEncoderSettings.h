#pragma once
#include <array>
#include <cstdint>

#include "formats/LEncodeDlgLists.h"

// Options of the FLAC encoder, kept in the settings section "FlacEncoder". A
// default-constructed value holds the defaults.
struct LFlacEncoderSettings {
    static constexpr char kSection[] = "FlacEncoder";

    int32_t compression = 4;     // "Compression", 0 fastest .. 8 smallest
    int32_t channels = 1;        // "Channels", 1 or 2 (the opener limits it)
    int32_t sampleRate = 44100;  // "SampleRate", Hz
    // Whether "Channels" and "SampleRate" hold a value (the user confirmed the
    // dialog, or --set gave one). While they do not, or hold 0 ("Same as the
    // source"), a save keeps the document's channels and rate (ForDocument); the
    // values above are only the defaults.
    bool channelsStored = false;
    bool sampleRateStored = false;

    static LFlacEncoderSettings Read();
    void Write() const;
    // These settings for saving a document of `documentRate` Hz and
    // `documentChannels` channels: the stored channels and rate where the user
    // chose them, else the document's. Without a document (0, 0: the batch
    // wizard) the ones the user did not choose are 0, "Same as the source". The
    // opener, the options dialog and the format report all start from this.
    LFlacEncoderSettings ForDocument(int32_t documentRate, int32_t documentChannels) const;

    // The dialog "FlacEncodeDlg" through the user-interface port, opened on
    // `settings`; on OK the chosen values are stored and left in `settings`.
    static bool Dialog(LFlacEncoderSettings& settings);

    // The compression list; the index of an entry is the stored value.
    static constexpr std::array<const char*, 9> kCompressionNames = {
        "0 (fastest)", "1", "2", "3", "4", "5", "6", "7", "8 (best)"};
};
