#pragma once
#include "effects/LToneParams.h"

// What the tone generator's dialog edits: the tone, and whether it becomes a
// new document or goes in at the cursor of the current one (at that
// document's rate and channels; only offered when there is one).
struct LKVToneChoice {
    LToneParams spec;
    bool insert = false;
    bool canInsert = false;
    int32_t documentRate = 0;     // the current document's format, for an insert
    uint8_t documentChannels = 0;
};

// The tone generator's remembered values, in the settings section
// "ToneGenerator". The rate and channels default to "DefaultSampleRate" and
// "DefaultChannels". Values that make no usable tone are kept as they are:
// the dialog refuses them on OK.
class LKVToneSettings {
public:
    static constexpr const char* kSection = "ToneGenerator";
    static LKVToneChoice Read();
    static void Write(const LKVToneChoice& choice);
};
