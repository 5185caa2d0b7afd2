#pragma once
#include <cstdint>
#include <string>

#include "core/LProgressDialog.h"
#include "edit/LCutListAudio.h"

// The job that loads a file into a cut list through the format dispatch. Run
// under a progress window titled "Loading Audio File Source".
class KVLoadFile {
public:
    struct Data {
        std::string path;
        LCutListAudio* destination;
        uint8_t* askOnce;  // the caller's flag for the format prompt and errors
    };
    static int32_t Process(LProgressDialog& dialog, Data& data);
};
