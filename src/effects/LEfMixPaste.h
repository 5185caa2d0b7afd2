#pragma once
#include <cstdint>

#include "core/LProgressDialog.h"
#include "edit/LCutListAudio.h"

// "Paste Mix" and "Mix File": adds other audio (the clipboard or a file, any
// rate and channels) into the document from sStart, at a volume and a stereo
// pan. When the mix is shorter than the selection only its length is mixed;
// when it is longer, the mode decides. The mixed range is replaced by new
// segments on completion; a cancel or a failure leaves the document as it
// was, including the silence mode 0 would have inserted.
class LEfMixPaste {
public:
    enum : int32_t {
        kInsertSilence = 0,    // "Insert silence": push what follows later by the excess
        kExtendSelection = 1,  // "Increase selection": mix over what follows
        kFadeMixOut = 2,       // "Fade out mix": cut the mix at sEnd, fading its last frames
    };

    struct Data {
        LCutListAudio* list;
        int32_t sStart;          // frames
        int32_t sEnd;            // frames, exclusive
        const LCutListAudio* mix;
        int32_t volume;          // percent ("PasteMixVolume")
        int32_t mode;            // kInsertSilence, kExtendSelection or kFadeMixOut
        int32_t fadeOutFrames;   // "FadeOutTime", used by kFadeMixOut
        int32_t pan;             // 0 left .. 50 centre .. 100 right; mono documents use 50
        int32_t mixedEnd = 0;    // out: the end of the mixed range
    };
    // A reversed range does nothing. A mix whose conversion to the document's
    // rate and channels fails, fails the job.
    static int32_t Process(LProgressDialog& dialog, Data& data);

    // The Q24 gains of the left and right channels: at the centre both are the
    // volume; pan 0 gives the left twice the volume and the right nothing.
    static void Gains(int32_t volume, int32_t pan, int32_t& left, int32_t& right);
    // The selection after a mix: from sStart for the mix's duration, taken
    // through milliseconds into the document's rate.
    static int32_t SelectionEnd(int32_t sStart, const LCutListAudio& mix, int32_t documentRate);
};
