#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "app/LKVBatchCatalogue.h"
#include "core/LSoundSource.h"

// Batch runs that need no cut tank. The tank path loads the file into a segment,
// lets each command rewrite the document and saves it. Where every command reads
// the whole document once from start to end (a rate or channel conversion) or
// only changes its gain (Amplify), the same frames come from a chain of sources
// over the file's reader, with an LSRCSegmentStream wherever the tank path would
// write a segment: the saved file is byte for byte the one the tank path writes,
// without writing and reading the audio twice more.
class LKVBatchStream {
public:
    // Whether every command of `commands` runs on a stream.
    static bool Streams(const std::vector<LKVCommand>& commands);

    // Opens `path` as loading it into a document does, then applies `commands`
    // and a final conversion to `sampleRate` and `channels` (0 keeps either) as
    // the tank path would. kJobDone with `result` set, or kJobFailed after the
    // same messages as the tank path gives. Only for lists that Streams accepts.
    // `fileRate`, when given, gets the file's own rate once it is open.
    static int32_t Open(const std::string& path, const std::vector<LKVCommand>& commands, int32_t sampleRate,
                        uint8_t channels, LSoundSource& result, int32_t* fileRate = nullptr);
};
