#pragma once
#include <array>
#include <cstdint>

// Option lists the encoder dialogs share, as data the GUI shows unchanged. Each
// list pairs the text of an entry with the value stored when it is chosen.
struct LEncodeDlgChoice {
    const char* text;
    int32_t value;
};

// Bit rates in kbit/s offered by the MP3, Ogg and AAC dialogs.
inline constexpr std::array<LEncodeDlgChoice, 18> kEncodeDlgBitRates = {{
    {"8", 8},     {"16", 16},   {"24", 24},   {"32", 32},   {"40", 40},   {"48", 48},
    {"56", 56},   {"64", 64},   {"80", 80},   {"96", 96},   {"112", 112}, {"128", 128},
    {"144", 144}, {"160", 160}, {"192", 192}, {"224", 224}, {"256", 256}, {"320", 320},
}};

// "Same as the source" (stored as 0) keeps each document's own channel count or
// rate: a save never changes them unless the user picks a value.
inline constexpr char kEncodeDlgSameAsSource[] = "Same as the source";

// Channel choices of the Ogg, FLAC and AAC dialogs; the stored value is the count.
inline constexpr std::array<LEncodeDlgChoice, 3> kEncodeDlgChannels = {
    {{kEncodeDlgSameAsSource, 0}, {"Mono", 1}, {"Stereo", 2}}};

// Sample rates in Hz offered by the Ogg and AAC dialogs: the rates both encoders
// take without resampling. A stored rate outside the list is shown as typed.
inline constexpr std::array<LEncodeDlgChoice, 8> kEncodeDlgLossyRates = {{
    {kEncodeDlgSameAsSource, 0},
    {"8000", 8000},   {"11025", 11025}, {"16000", 16000}, {"22050", 22050},
    {"32000", 32000}, {"44100", 44100}, {"48000", 48000},
}};

// Sample rates offered by the FLAC dialog, which also keeps high-rate material.
inline constexpr std::array<LEncodeDlgChoice, 10> kEncodeDlgFlacRates = {{
    {kEncodeDlgSameAsSource, 0},
    {"8000", 8000},   {"11025", 11025}, {"16000", 16000}, {"22050", 22050}, {"32000", 32000},
    {"44100", 44100}, {"48000", 48000}, {"88200", 88200}, {"96000", 96000},
}};
