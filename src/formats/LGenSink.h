#pragma once
#include <cstdint>
#include <string>

#include "core/LSoundSink.h"
#include "formats/LWaveFileFormat.h"

// Saving by file type (the extension, case-insensitive).

// Whether saving with `ext` is possible now: the program's own writers always; the
// encoder types when their program is found (otherwise the user is told which
// package provides it).
bool LGenSinkIsSupported(const std::string& ext);
// The options step before saving: the WAV format chooser, the raw-settings dialog
// or an encoder dialog. True when the user confirmed (or the type has no options);
// false for a cancel and for unknown types. A nonzero rate or channel count
// replaces the stored one in the starting values of the WAV and raw dialogs; an
// Ogg, FLAC or AAC dialog starts from what saving a document of that rate and
// channels would write (the stored values where the user chose them).
bool LGenSinkCheckSettings(const std::string& ext, int32_t rate, uint8_t channels);
// Whether this program can write the type at all: its own writers and the
// encoder types (whose program may still be missing). Save dialogs list these.
bool LGenSinkHasWriter(const std::string& ext);
// Whether the type has an options step with a dialog (WAV, VOX, raw and the
// encoder types), for the save dialog's options button.
bool LGenSinkHasOptions(const std::string& ext);
// The sink for `path` by its extension, at the given rate and channels where the
// type takes them (the Ogg, FLAC and AAC encoders unless the user stored their
// own); an empty handle for an unknown type. A WAV file is written in
// `waveFormat` when given, else in the stored save format.
LSoundSink LGenSinkOpenSink(const std::string& path, int32_t rate, uint8_t channels,
                            const LWaveFileFormat* waveFormat = nullptr);

// The rate and channels an encoder type asked for and those of the file it will
// write, which its bit rates can force apart, with the encoder's reason.
struct LGenSinkEncoding {
    int32_t askedRate = 0;
    uint8_t askedChannels = 0;
    int32_t rate = 0;
    uint8_t channels = 0;
    std::string note;  // empty when both are kept
};
// What saving a document at `rate` and `channels` with the encoder type `ext`
// writes under the stored settings: MP3 is asked for the document's format, the
// other encoders for that of their settings where the user stored one, else the
// document's (as LGenSinkOpenSink opens them). False for the types that are not
// saved through an encoder.
bool LGenSinkEncoderFormat(const std::string& ext, int32_t rate, uint8_t channels, LGenSinkEncoding& encoding);
