#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The text-to-speech library behind a small interface of ours (espeak-ng in
// app/speech/). Synthesis is synchronous on the calling thread: the samples
// come back through a callback as they are made, which can stop it.
// Used on one thread at a time.
class LSpeechSynth {
public:
    struct Voice {
        std::string name;        // "English_(America)"
        std::string identifier;  // "gmw/en-US": what Speak takes
        std::string language;    // "en-us"
    };
    enum class Result : uint8_t { Done, Cancelled, Failed };
    // Receives `count` 16-bit mono samples at SampleRate() and the fraction of
    // the text spoken so far; false stops the synthesis.
    using Output = std::function<bool(const int16_t* samples, int32_t count, double fraction)>;

    virtual ~LSpeechSynth() = default;
    // Loads the library's data once; false with what went wrong.
    virtual bool Open(std::string& error) = 0;
    // The voices the installed data offers, in the library's order (after Open).
    virtual std::vector<Voice> Voices() = 0;
    virtual int32_t SampleRate() = 0;
    // Speaks UTF-8 `text` in `voice` (an identifier, a name or a language, as
    // espeak-ng -v takes them) at `wordsPerMinute` and `pitch` (0..99, 50 the
    // voice's own). Failed with `error` for an unknown voice or a library fault.
    virtual Result Speak(const std::string& text, const std::string& voice, int32_t wordsPerMinute, int32_t pitch,
                         const Output& output, std::string& error) = 0;
};

// The process's synthesizer (espeak-ng).
LSpeechSynth& LSpeechSynthGet();
