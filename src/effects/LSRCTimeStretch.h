#pragma once
#include <cstdint>
#include <vector>

#include "core/LSRCFilterBase.h"

// Overlap-add time stretcher. Output comes in grains of G frames (about 11 ms:
// rate / 90, within 20..2730). Each grain plays the first half of its window as
// the plain continuation of the previous grain and then crossfades (raised
// cosine, Q24) into a new grain whose nominal start lies H input frames after
// the previous nominal start, so the output is 1/speed as long as the input
// while every grain keeps the input's rate. The hop may glide from the start
// speed to the end speed over a given time.
//
// With a fixed hop alone, a tone whose period does not divide the hop changes
// phase at every grain and comes out moved to the nearest frequency that does
// (a 440 Hz tone at 150 % sounds at 480 Hz). So by default each new grain starts
// within half a grain of its nominal start, where it best matches (normalised
// correlation) the old grain over the crossfade. Nominal starts never drift, so
// lengths are those of the fixed hop; and at speed 1 the new grain is the old
// one, no search runs and the output is the input, bit for bit.
//
// Positions and length come in two flavours:
// - Output: GetPosition counts output frames and GetLength is the exact number
//   of output frames produced until the new grain's read position reaches the
//   end of the input. The pump then writes exactly the stretched length. Hops
//   are at least one frame, so the stretch always ends.
// - Input: GetPosition is the input frame the new grain reads next and
//   GetLength the input's length, so a player reports document positions. Any
//   hop is accepted, negative ones included (reverse scanning).
class LSRCTimeStretch : public LSRCFilterBase {
public:
    enum class Positions : uint8_t { Output, Input };

    // `speed` and `endSpeed` are input frames per output frame (1.0 = unchanged),
    // `glideMs` the time over which the hop moves from the one to the other.
    // `align` false gives the plain fixed-hop form.
    LSRCTimeStretch(LSoundSource upstream, double speed, double endSpeed, int32_t glideMs,
                    Positions positions = Positions::Output, bool align = true);
    void Read(int32_t* buffer, int32_t frames) override;
    int32_t GetPosition() override;
    int32_t GetLength() override;
    // Output: moves to that output frame; the plain form continues exactly as
    // read from the start, an aligned one starts a fresh stretch at the nominal
    // input frame of that grain. Input: seeks the input there and starts afresh.
    void Seek(int32_t frame) override;

    int32_t GrainFrames() const { return grain_; }
    // Input frames the new grain of the current output grain starts at.
    int64_t GrainInputStart() const { return newStart_; }

private:
    struct Hop {
        int64_t hop;        // input values per grain (interleaved)
        int64_t glideLeft;  // values of glide still to run; 0 when none
    };
    // Frames to advance for the next grain under `h`, moving the glide on.
    int64_t StepHop(Hop& h) const;
    // Sets up a fresh stretch whose first output frame is input frame `start`.
    void Restart(int64_t start);
    void NextGrain();
    // Makes input frames [first, first + frames) available in the buffer.
    void EnsureWindow(int64_t first, int64_t frames);
    // The start within `search_` frames of nominal_ that best continues old_.
    int64_t AlignedStart();
    void ReadUpstream(int32_t* into, int64_t frames);
    int64_t ComputeOutputLength() const;

    Positions positions_;
    int32_t channels_;
    int32_t grain_;       // frames per grain
    int32_t grainValues_;
    int32_t half_;        // values of the window's flat first half
    std::vector<int32_t> window_;  // Q24, indexed by value
    Hop initialHop_{};
    int64_t endHop_ = 0;
    Hop hop_{};

    // A contiguous stretch of the input: frames [bufStart_, bufStart_ + bufFrames_).
    std::vector<int32_t> buffer_;
    int32_t capacity_;  // frames
    int64_t bufStart_ = 0;
    int64_t bufFrames_ = 0;
    bool contiguous_ = false;  // the upstream is positioned right after the buffer

    bool align_;
    int32_t search_ = 0;          // frames either side of the nominal start
    std::vector<float> ref_;      // the old grain over the crossfade, channels summed, every 2nd frame
    std::vector<float> mono_;     // the candidates' frames, channels summed
    int64_t nominal_ = 0;         // the new grain's nominal input frame

    std::vector<int32_t> old_;  // the old grain's values for the current output grain
    bool identity_ = true;      // old and new grain read the same input frames
    int64_t newStart_ = 0;      // input frame of the new grain
    int32_t k_ = 0;             // frame within the current output grain
    int64_t origin_ = 0;        // input frame the stretch started from
    int64_t outPos_ = 0;        // output frames delivered (negative before the start)
    int64_t outLength_ = 0;
};
