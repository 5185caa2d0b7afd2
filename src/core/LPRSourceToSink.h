#pragma once
#include <string>

#include "core/LProgressDialog.h"
#include "core/LSoundSink.h"
#include "core/LSoundSource.h"

// The pump of every job that moves a whole source into a sink: adapts the
// source to the sink's channels and rate, limits it to 16-bit full scale, and
// moves it in blocks of 8192 frames with progress and Cancel.
class LPRSourceToSink {
public:
    static constexpr int32_t kBlockFrames = 8192;

    struct Data {
        std::string text;  // progress line 0
        LSoundSource source;
        LSoundSink sink;
    };

    // `source` as the pump hands it to a sink of `rate` and `channels`: converted
    // to them and limited to 16-bit full scale.
    static LSoundSource Adapt(const LSoundSource& source, int32_t rate, uint8_t channels);

    // Reads the next kBlockFrames frames of `source` into `block` (sized for
    // them) and returns how many of them the pump writes: all of them until the
    // source's end, then the part before it (possibly none), with `last` set.
    static int32_t NextBlock(LSoundSourceBase& source, int32_t* block, bool& last);

    // kJobDone, kJobCancelled, or kJobFailed for a source in error, an empty or
    // failed sink, or a sink that failed while writing (a full disk).
    static int32_t Process(LProgressDialog& dialog, Data& data);
};
