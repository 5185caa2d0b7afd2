#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Loudness of interleaved stream values (full scale 0x7FFF0, as every source
// carries them) after ITU-R BS.1770 / EBU R128, over libebur128. Mono is one
// front channel, stereo left and right; with more channels the fourth is the
// LFE (not counted) and the fifth and sixth are surrounds. A meter is used by
// one thread at a time.
class LLoudnessMeter {
public:
    // Or'ed: the measures a meter keeps. Ask only for what is read: the range
    // keeps a history and the true peak oversamples every value.
    enum Measure : uint32_t {
        kMomentary = 1,   // 400 ms window, and its maximum
        kShortTerm = 2,   // 3 s window, and its maximum
        kIntegrated = 4,  // gated over everything added
        kRange = 8,       // loudness range (LRA)
        kTruePeak = 16,   // 4x oversampled peak below 96 kHz
        kAll = 31,
    };

    LLoudnessMeter(uint8_t channels, int32_t sampleRate, uint32_t measures);
    ~LLoudnessMeter();
    LLoudnessMeter(const LLoudnessMeter&) = delete;
    LLoudnessMeter& operator=(const LLoudnessMeter&) = delete;

    // False when the meter could not be set up (no channels, a rate outside
    // 1..2822400 Hz, or out of memory); Error() then says why and Add fails.
    bool IsValid() const { return state_ != nullptr; }
    const std::string& Error() const { return error_; }

    // Adds `frames` frames of interleaved values. False (and Error()) when the
    // library refuses them; values beyond full scale are measured as they are.
    bool Add(const int32_t* values, int32_t frames);
    // Forgets everything added, as a new meter would.
    void Reset();

    // In LUFS (LU for Range); -infinity while what was added is too short or too
    // quiet to measure, NaN for a measure this meter does not keep. The maxima
    // are over the windows ending every 100 ms of audio, as meters update.
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
    bool Open();
    void Close();
    bool AddSlice(const int32_t* values, int32_t frames);

    // The library's state, an anonymous struct that cannot be declared here.
    struct State;
    State* state_ = nullptr;
    std::string error_;
    uint8_t channels_;
    int32_t sampleRate_;
    uint32_t measures_;
    int32_t updateFrames_;    // frames in 100 ms
    int32_t sinceUpdate_ = 0; // frames added since the last 100 ms mark
    double maxMomentary_;
    double maxShortTerm_;
    std::vector<float> scratch_;  // one conversion block
};
