#pragma once
#include <cstdint>

#include "core/LProgressDialog.h"
#include "core/LRateQuality.h"
#include "edit/LCutListAudio.h"

// The job that converts a whole cut list to another rate and/or channel count in
// place: the list is read through the converters and rewritten as one segment.
// The list changes only when the job completes.
class LCLAConvertRateChannels {
public:
    struct Data {
        LCutListAudio* list;
        int32_t sampleRate;
        uint8_t channels;
        LRateQuality quality = LRateQuality::Standard;
    };
    static int32_t Process(LProgressDialog& dialog, Data& data);
    // The converters the job reads `input` through.
    static LSoundSource Convert(const LSoundSource& input, int32_t sampleRate, uint8_t channels,
                                LRateQuality quality = LRateQuality::Standard);
};
