#pragma once
#include <cstdint>

#include "edit/LCutListAudio.h"

// The frames [from, to) in which two versions of a document's audio differ, as
// far as their cut lists tell: a stretch is unchanged where both play the same
// frames of the same segment at the same gain, or both are silent. When the
// lengths differ everything from the first change on counts as changed (the
// frames after it moved), and `to` is INT64_MAX. Equal lists give from == to.
// A different rate or channel count changes everything.
struct LCutListChange {
    int64_t from = 0;
    int64_t to = 0;

    bool Empty() const { return from >= to; }
    static LCutListChange Between(const LCutListAudio& before, const LCutListAudio& after);
};
