#pragma once
#include <string>

#include "core/LProgressDialog.h"
#include "core/LSoundSource.h"
#include "edit/LCutListAudio.h"

// Writes the whole of a generator `source` (a tone, speech) into `audio`
// through the cut tank, at the source's rate and channels, with `text` as the
// progress line and Cancel between blocks. Returns the job result; on a cancel
// or a failure `audio` is left empty and its new segments released.
int32_t LEfGenerate(LProgressDialog& dialog, const LSoundSource& source, LCutListAudio& audio, const std::string& text);
