#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "effects/LTruePeak.h"

// Loudness of interleaved stream values (full scale 0x7FFF0, as every source
// carries them) after ITU-R BS.1770 / EBU R128. Integrated loudness comes from
// libebur128, the true peak from LTruePeak; the momentary (400 ms) and
// short-term (3 s) windows are kept here as running sums of 100 ms blocks,
// since asking the library for them ten times a second re-adds the whole
// window each time. The range is taken from those short-term values ten times
// a second, as EBU Tech 3342 meters and ffmpeg do: the library takes one value
// a second, which on material that changes within seconds (a decaying note, a
// step between passages) reads up to 2 LU apart from them.
// Mono is one front channel, stereo left and right; with more channels the
// fourth is the LFE (not counted) and the fifth and sixth are surrounds. A meter
// is used by one thread at a time.
class LLoudnessMeter {
public:
    // Or'ed: the measures a meter keeps. Ask only for what is read: the range
    // keeps a history and the true peak oversamples every value.
    enum Measure : uint32_t {
        kMomentary = 1,   // 400 ms window, and its maximum
        kShortTerm = 2,   // 3 s window, and its maximum
        kIntegrated = 4,  // gated over everything added
        kRange = 8,       // loudness range (LRA)
        kTruePeak = 16,   // peak oversampled to 192 kHz or more
        kAll = 31,
    };

    LLoudnessMeter(uint8_t channels, int32_t sampleRate, uint32_t measures);
    ~LLoudnessMeter();
    LLoudnessMeter(const LLoudnessMeter&) = delete;
    LLoudnessMeter& operator=(const LLoudnessMeter&) = delete;

    // False when the meter could not be set up (no channels, a rate outside
    // 1..2822400 Hz, or out of memory); Error() then says why and Add fails.
    bool IsValid() const { return valid_; }
    const std::string& Error() const { return error_; }

    // Adds `frames` frames of interleaved values. False (and Error()) when the
    // library refuses them; values beyond full scale are measured as they are.
    bool Add(const int32_t* values, int32_t frames);
    // Forgets everything added, as a new meter would.
    void Reset();

    // In LUFS (LU for Range); -infinity while what was added is too short or too
    // quiet to measure, NaN for a measure this meter does not keep. Momentary
    // and short-term loudness are those of the windows ending at the last
    // 100 ms mark (audio before the first frame counts as silence); the maxima
    // are over all such windows, as a meter updating ten times a second shows.
    double Momentary() const;
    double ShortTerm() const;
    double MaxMomentary() const { return maxMomentary_; }
    double MaxShortTerm() const { return maxShortTerm_; }
    double Integrated() const;
    double Range() const;
    // The highest true peak over all channels, linear (1.0 is full scale) and
    // in dBTP; 0 and -infinity for silence.
    double TruePeakLinear() const;
    double TruePeak() const;

    uint8_t GetChannels() const { return channels_; }
    int32_t GetSampleRate() const { return sampleRate_; }
    uint32_t GetMeasures() const { return measures_; }

private:
    // The K-weighting filter of one channel: a high shelf, then a high-pass.
    struct Biquad {
        double b0, b1, b2, a1, a2;
        double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
        double Run(double x)
        {
            const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
            x2 = x1, x1 = x, y2 = y1, y1 = y;
            return y;
        }
    };
    static constexpr int32_t kBlocks = 30;  // 100 ms blocks in the short-term window
    // Short-term loudness values for the range, in 0.01 LU steps from the
    // absolute gate (-70 LUFS) to +10 LUFS: a fixed size however long the audio.
    static constexpr double kGate = -70.0;
    static constexpr int32_t kRangeSteps = 8001;

    bool Open();
    void Close();
    bool AddToLibrary(const int32_t* values, int32_t frames);
    void AddToWindows(const int32_t* values, int32_t frames);
    double WindowLoudness(int32_t blocks) const;
    void AddToRange();

    // The library's state, an anonymous struct that cannot be declared here.
    struct State;
    State* state_ = nullptr;
    bool valid_ = false;
    std::string error_;
    uint8_t channels_;
    int32_t sampleRate_;
    uint32_t measures_;
    std::unique_ptr<LTruePeak> truePeak_;
    std::vector<float> scratch_;  // one conversion block for the library and the peak

    bool windows_ = false;          // momentary or short-term asked for
    std::vector<Biquad> shelf_, highPass_;
    std::vector<double> weight_;    // per channel
    int32_t blockFrames_ = 1;       // frames in 100 ms
    int32_t inBlock_ = 0;           // frames of the current block so far
    double blockSum_ = 0;           // its weighted energy so far
    std::array<double, kBlocks> blocks_{};  // energies of the last blocks, a ring
    int32_t newest_ = kBlocks - 1;
    double maxMomentary_;
    double maxShortTerm_;
    int32_t blocksSeen_ = 0;               // up to kBlocks: whether a full short-term window exists
    std::vector<uint32_t> rangeCounts_;    // kRangeSteps counts, when the range is kept
    double rangeEnergy_ = 0;               // sum of the counted windows' mean energies
    uint64_t rangeWindows_ = 0;            // how many were counted
};
