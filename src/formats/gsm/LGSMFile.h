#pragma once
#include <string>

#include "core/LSoundSink.h"
#include "core/LSoundSource.h"

// Openers for ".gsm" files (headerless GSM 06.10 frames, 8000 Hz mono).
class LGSMFile {
public:
    // Never empty; a file that cannot be opened gives state kSrcCannotOpen.
    static LSoundSource OpenSource(const std::string& path);
    // A writer at 8000 Hz mono; its error bit is set when the file cannot be created.
    static LSoundSink OpenSink(const std::string& path);
};
