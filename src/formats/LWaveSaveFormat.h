#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "formats/LWaveFileFormat.h"

// The format WAV files are saved in, kept as the raw 1024-byte block in
// "WavCodec.wff" in the "AppData" data folder.
class LWaveSaveFormat {
public:
    // 16-bit PCM at `rate` and `channels`, overlaid by the stored block (a missing
    // or short file leaves the default in the bytes it does not hold).
    static LWaveFileFormat Load(int32_t rate, uint16_t channels);
    // Writes all 1024 bytes anew; false when the file cannot be written.
    static bool Store(const LWaveFileFormat& format);
    static std::string FilePath();

    // Lets the user pick a writable format through the chooser titled `title`,
    // limited to `channels` when nonzero. A pick no codec can write is refused with
    // "The requested format is not available because the required CODEC is not
    // installed on this computer." and the chooser opens again. True on a pick.
    static bool Choose(LWaveFileFormat& format, uint16_t channels, const std::string& title);
    // Whether 16-bit PCM at the block's rate and channels can be written in it.
    static bool TestSupportedRecord(const LWaveFileFormat& format);
    // The WAV options step of saving: the stored block (PCM taking the given rate
    // and channels when nonzero), the chooser "Select Wave File Format", and the
    // block stored on success.
    static bool OptionsDialog(int32_t rate, uint16_t channels);

    // Whether `format` holds samples wider than 16 bits: PCM of 17 bits and more,
    // and IEEE float.
    static bool IsWide(const LWaveFileFormat& format);
    // The writable format with the coding of the wide `source` at `rate` and
    // `channels`, the block the chooser offers for it, in the narrowest width that
    // holds the source's; nothing when `source` is not wide or none holds it.
    static std::optional<LWaveFileFormat> SameWideCoding(const LWaveFileFormat& source, int32_t rate,
                                                         uint16_t channels);
};
