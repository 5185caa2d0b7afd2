#pragma once
#include <cstdint>
#include <string>

#include "core/LSoundSource.h"

// Opens a source for a file by its extension (case-insensitive).
// `askOnce` is the caller's flag: while it is nonzero the opener may show its
// settings dialog and error boxes; showing either clears it, so a caller that
// opens many files with one flag sees at most one dialog and one error.
// Returns 0 opened, 1 cancelled by the user, 2 failed (message shown when the flag
// allowed it). On failure `source` holds an LSRCNull.
int32_t LGenSourceOpen(LSoundSource& source, const std::string& path, uint8_t* askOnce);

// The texts shown when a file cannot be opened; %s is the file name.
std::string LGenReadAccessMessage(const std::string& path);
std::string LGenCorruptMessage(const std::string& path);
