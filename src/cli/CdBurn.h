#pragma once
#include <cstdint>
#include <string>

#include "cli/CdRip.h"

// kelvane-cd burn: each file a track on the CD in options.drive, written with
// options.burn; 0 written, 1 cancelled, 2 failed.
int CdBurn(const CdOptions& options);
// kelvane-cd blank: erases the CD-RW in options.drive (a minimal blank).
int CdBlank(const CdOptions& options);
// "max", or a speed factor like "8" or "16x"; false for anything else.
bool ParseCdSpeed(const std::string& text, uint16_t& speed);
