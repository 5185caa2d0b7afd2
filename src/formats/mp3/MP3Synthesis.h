#pragma once
#include <cstdint>

#include "formats/mp3/MP3KernelSet.h"

// The polyphase synthesis filter bank of one or two channels: 32 subband samples
// in, 32 output samples out per time slot, scaled so that a full-scale 1.0 becomes
// 524288 (2^19). Owns the filter history; the work is done by the kernel of a
// chosen MP3KernelSet.
class MP3Synthesis {
public:
    // Most time slots one Run takes: the two granules of an MPEG-1 frame.
    static constexpr int32_t kMaxSlots = 36;
    // The history: per channel, the 32 DCT outputs of each slot, slot s of output
    // m at [m][kHistory + s], and a row 32 that stays zero. The window reaches 15
    // slots back; 16 keep the rows aligned. The widest kernel works on eight slots
    // at a time, so a row holds up to slot 39.
    static constexpr int32_t kHistory = 16;
    static constexpr int32_t kHistoryStride = kHistory + kMaxSlots + 4;
    static constexpr int32_t kHistoryRows = 33;

    explicit MP3Synthesis(MP3KernelSet set = MP3BestKernelSet());
    // Clears the filter history (start of stream, after a seek).
    void Reset();
    // Runs `slots` time slots (18 or 36) of `channels` channels (1 or 2). Channel
    // ch's input is one row per subband, `rowStride` samples apart: slot s of
    // subband sb at time[ch][sb * rowStride + s]; rows must be readable up to the
    // next multiple of eight slots. Writes slots x 32 frames of rounded samples,
    // channels interleaved, to `out`.
    void Run(const float* const* time, int32_t channels, int32_t slots, int32_t rowStride, int32_t* out)
    {
        run_(&history_[0][0][0], time, channels, slots, rowStride, out);
    }

private:
    MP3SynthesisFn run_;
    alignas(32) float history_[2][kHistoryRows][kHistoryStride];
};
