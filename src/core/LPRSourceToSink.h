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

    // kJobDone, kJobCancelled, or kJobFailed for a source in error, an empty or
    // failed sink, or a sink that failed while writing (a full disk).
    static int32_t Process(LProgressDialog& dialog, Data& data);
};
