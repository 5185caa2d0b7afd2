#pragma once
#include <cstdint>
#include <string>

// What the tone generator makes: one signal kind, its level and length, and
// the format of the document it becomes. Frequencies in Hz, level in dBFS
// (0 is 16-bit full scale), times in milliseconds.
struct LToneParams {
    enum class Kind : uint8_t { Sine, Square, Triangle, Sawtooth, White, Pink, Sweep, Dtmf, Silence };
    static constexpr int32_t kKindCount = 9;

    Kind kind = Kind::Sine;
    double frequency = 1000;     // start frequency of a sweep
    double endFrequency = 4000;  // sweep only
    bool logSweep = false;       // sweep: exponential (equal time per octave) instead of linear
    double levelDb = -6;         // peak level; a DTMF pair shares it between its two tones
    int32_t durationMs = 1000;   // every kind but DTMF
    std::string digits;          // DTMF: 0-9 * # A-D
    int32_t toneMs = 100;        // DTMF: each digit's tone
    int32_t pauseMs = 100;       // DTMF: silence between digits
    int32_t fadeInMs = 0;        // a DTMF tone fades each digit
    int32_t fadeOutMs = 0;
    int32_t sampleRate = 44100;
    uint8_t channels = 1;

    static constexpr int32_t kMinRate = 6000;
    static constexpr int32_t kMaxRate = 196000;
    static constexpr double kMinLevelDb = -120;

    // The lower-case name of a kind ("sine", ..., "dtmf", "silence") and back;
    // false for a name that is none of them.
    static const char* KindName(Kind kind);
    static bool KindFromName(const std::string& name, Kind& kind);
    // The caption of a kind in the dialog's list ("Sine", ..., "DTMF Digits").
    static const char* KindCaption(Kind kind);

    // The row and column frequencies of a DTMF key; false for any other character.
    static bool DtmfPair(char digit, int32_t& low, int32_t& high);

    // Frames the signal lasts (0 when the parameters are not usable).
    int64_t Frames() const;
    // The peak of the signal in stream units (0x7FFF0 is 0 dBFS).
    int32_t PeakValue() const;
    // Empty when the parameters can be generated, else what is wrong with them in words
    // for the user.
    std::string Check() const;
};
