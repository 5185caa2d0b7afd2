// espeak-ng behind LSpeechSynth: the only file that includes it.
#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <cstring>

#include "app/LSpeechSynth.h"

namespace {

class LEspeakSynth : public LSpeechSynth {
public:
    bool Open(std::string& error) override
    {
        if (rate_ == 0) {
            // Without DONT_EXIT the library ends the process when its data is missing.
            rate_ = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 100, nullptr, espeakINITIALIZE_DONT_EXIT);
            if (rate_ <= 0) {
                rate_ = -1;
            } else {
                espeak_SetSynthCallback(&LEspeakSynth::Callback);
            }
        }
        if (rate_ < 0)
            error = "The speech synthesizer espeak-ng could not load its data (the package espeak-ng-data).";
        return rate_ > 0;
    }

    std::vector<Voice> Voices() override
    {
        std::vector<Voice> voices;
        if (rate_ <= 0)
            return voices;
        for (const espeak_VOICE** v = espeak_ListVoices(nullptr); v && *v; ++v) {
            // The languages field is a list of (priority byte, name) pairs; the first names the voice's language.
            const char* languages = (*v)->languages;
            voices.push_back({(*v)->name ? (*v)->name : "", (*v)->identifier ? (*v)->identifier : "",
                              languages && *languages ? languages + 1 : ""});
        }
        return voices;
    }

    int32_t SampleRate() override { return std::max(rate_, 0); }

    Result Speak(const std::string& text, const std::string& voice, int32_t wordsPerMinute, int32_t pitch,
                 const Output& output, std::string& error) override
    {
        if (!Open(error))
            return Result::Failed;
        if (espeak_SetVoiceByName(voice.c_str()) != EE_OK) {
            error = "The voice \"" + voice + "\" is not installed.";
            return Result::Failed;
        }
        espeak_SetParameter(espeakRATE, wordsPerMinute, 0);
        espeak_SetParameter(espeakPITCH, pitch, 0);
        Run run{&output, text.size(), false};
        // The same flags as the espeak-ng program, so the two say a text alike.
        const unsigned flags = espeakCHARS_AUTO | espeakPHONEMES | espeakENDPAUSE;
        const espeak_ERROR e = espeak_Synth(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0, flags, nullptr, &run);
        if (run.stopped)
            return Result::Cancelled;
        if (e != EE_OK) {
            error = "The speech synthesizer espeak-ng failed (error " + std::to_string(int(e)) + ").";
            return Result::Failed;
        }
        return Result::Done;
    }

private:
    struct Run {
        const Output* output;
        size_t textBytes;
        bool stopped;
    };

    static int Callback(short* wav, int count, espeak_EVENT* events)
    {
        Run* run = events ? static_cast<Run*>(events->user_data) : nullptr;
        if (!run || !wav)
            return 0;
        double fraction = 0;
        for (const espeak_EVENT* e = events; e->type != espeakEVENT_LIST_TERMINATED; ++e)
            if (e->text_position > 0 && run->textBytes > 0)
                fraction = std::min(1.0, double(e->text_position) / double(run->textBytes));
        static_assert(sizeof(short) == sizeof(int16_t));
        if ((*run->output)(reinterpret_cast<const int16_t*>(wav), count, fraction))
            return 0;
        run->stopped = true;
        return 1;
    }

    int32_t rate_ = 0;
};

} // namespace

LSpeechSynth& LSpeechSynthGet()
{
    static LEspeakSynth synth;
    return synth;
}
