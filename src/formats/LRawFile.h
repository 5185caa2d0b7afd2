#pragma once
#include <string>

#include "core/LSoundSink.h"
#include "core/LSoundSource.h"
#include "formats/LRawSettings.h"

// Openers for headerless files (".raw", ".snd", ".vox") read and written as the
// settings say: Dialogic ADPCM (always mono) or one of the byte codecs.
class LRawFile {
public:
    // Never empty: a file that cannot be opened gives kSrcCannotOpen, an unknown
    // codec kSrcInvalid. The length follows the file's size at every call.
    static LSoundSource OpenSource(const std::string& path, const LRawSettings& settings);
    // An empty handle for an unknown codec; the error bit when the file cannot be created.
    static LSoundSink OpenSink(const std::string& path, const LRawSettings& settings);
};
