#pragma once
#include <cstdint>
#include <string>

#include "core/LSoundSink.h"

// Saving by file type (the extension, case-insensitive).

// Whether saving with `ext` is possible now: the program's own writers always; the
// encoder types when their program is found (otherwise the user is told which
// package provides it).
bool LGenSinkIsSupported(const std::string& ext);
// The options step before saving: the WAV format chooser, the raw-settings dialog
// or an encoder dialog. True when the user confirmed (or the type has no options);
// false for a cancel and for unknown types. A nonzero rate or channel count
// replaces the stored one in the dialog's starting values.
bool LGenSinkCheckSettings(const std::string& ext, int32_t rate, uint8_t channels);
// Whether the type has an options step with a dialog (WAV, VOX, raw and the
// encoder types), for the save dialog's options button.
bool LGenSinkHasOptions(const std::string& ext);
// The sink for `path` by its extension, at the given rate and channels where the
// type takes them; an empty handle for an unknown type.
LSoundSink LGenSinkOpenSink(const std::string& path, int32_t rate, uint8_t channels);
