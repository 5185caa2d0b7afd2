#pragma once
#include <string>

#include "core/LProgressDialog.h"
#include "core/LSoundSource.h"
#include "edit/LCutListAudio.h"

// The job that fills a cut list from a source: the source is pumped into a new
// tank segment at its own rate and channels, and the destination becomes that
// one segment. The sink is released whatever the result, so after a cancel the
// destination holds what was pumped so far.
class LCutListAudioLoadSource {
public:
    struct Data {
        std::string text;              // progress line 0
        LCutListAudio* destination;
        LSoundSource source;
    };
    static int32_t Process(LProgressDialog& dialog, Data& data);
};
