#pragma once
#include <string>

#include "core/LSoundSink.h"
#include "core/LSoundSource.h"

// Openers for VOX (Dialogic ADPCM) files, mono at a rate the user gives.
class LVoxFile {
public:
    // Never empty; a file that cannot be opened gives state kSrcCannotOpen.
    static LSoundSource OpenSource(const std::string& path, int32_t rate);
    // Error bit set when the file cannot be created.
    static LSoundSink OpenSink(const std::string& path, int32_t rate);
};
