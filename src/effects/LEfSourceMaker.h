#pragma once
#include "core/LSoundSource.h"

// Builds an effect's filter source around an input source. One maker type per
// filter effect, holding that effect's parameters; the processing job, the
// preview and the batch converter all build their sound through the same maker,
// so the three cannot drift apart.
class LEfSourceMaker {
public:
    virtual ~LEfSourceMaker() = default;
    // A new filter source reading `input` (the caller's handle stays valid). An
    // input in error yields a filter in error, which the jobs then refuse.
    virtual LSoundSource MakeSource(const LSoundSource& input) const = 0;
};
