#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "core/LProgressDialog.h"
#include "edit/LCutListAudio.h"
#include "formats/LWaveFileFormat.h"

// The job that saves a cut list to a file by its type. The file is written as an
// LTempOutput beside the target, finished (its header written, flushed to the
// disk) and renamed over the target only when complete (for encoder types, when
// the encoder exited cleanly): a cancel or a failure leaves whatever file was
// there before untouched. Once the file is complete the save is done, whenever a
// Cancel comes. Failures are reported in a box over the job's window, with the
// system's reason or the encoder's errors.
class LKVSaveToSink {
public:
    struct Data {
        const LCutListAudio* audio;
        std::string path;
        bool askOptions = false;  // run the type's options step first
        // The format of a WAV file in place of the stored save format.
        std::optional<LWaveFileFormat> waveFormat = std::nullopt;
    };
    static int32_t Process(LProgressDialog& dialog, Data& data);
    // Saves `stream` in place of the list's frames: a source of the list's rate
    // and channels standing in for it (a batch run that needs no tank).
    static int32_t Process(LProgressDialog& dialog, Data& data, const LSoundSource& stream);
};
