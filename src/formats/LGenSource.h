#pragma once
#include <cstdint>
#include <string>

#include "core/LSoundSource.h"

// Opens a source for a file by its extension (case-insensitive): the program's
// own readers for WAV, MP3, AIFF, AU, GSM, VOX and raw files; decoder programs
// for Ogg, FLAC and AAC; the DCT reader; and the media decoder for everything
// else. Decoded files go through a temporary WAV file.
//
// `askOnce` is the caller's flag: while it is nonzero the opener may show the
// raw-settings dialog and error boxes; showing either clears it, so a caller that
// opens many files with one flag sees at most one dialog and one error.
// Returns 0 opened, 1 cancelled by the user, 2 failed (message shown when the flag
// allowed it). On failure `source` holds an LSRCNull.
int32_t LGenSourceOpen(LSoundSource& source, const std::string& path, uint8_t* askOnce);

// The extension the dispatch uses: from the last "." after the last separator,
// none when that "." is the first character of the whole name.
std::string LGenExtension(const std::string& path);

// The texts shown when a file cannot be opened.
std::string LGenReadAccessMessage(const std::string& path);
std::string LGenCorruptMessage(const std::string& path);
// The text for a file no reader could open: the read-access text when the file
// is missing or unreadable, else one saying that it is a folder or that it
// exists but could not be decoded.
std::string LGenCannotOpenMessage(const std::string& path);
// The message the opener shows for `path` when its reader (or, for decoded
// files, the reader of the decoder's output) ends in error state `state`.
std::string LGenOpenFailureMessage(const std::string& path, uint8_t state);
