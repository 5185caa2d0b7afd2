#pragma once
#include <cstdint>
#include <string>

#include "devices/LWaveFormat.h"

// The 16-bit WAV file the capture device writes what it plays into. Its size
// fields are brought up to date after every append, so the file is complete
// and readable whenever playback stops or the program ends, even mid-way.
// One file per process and path: it goes on across device opens while the
// path and the format stay the same, and starts afresh when either changes.
// Thread-safe.
namespace LCaptureFile {
// Makes `path` the capture file for `format`; false when it cannot be created.
bool Begin(const std::string& path, const LWaveFormat& format);
void Append(const uint8_t* bytes, uint32_t count);
} // namespace LCaptureFile
