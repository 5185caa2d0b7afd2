#include "app/LKVSpeechChoice.h"

#include "app/LSpeechSynth.h"
#include "core/LUi.h"

std::string LKVSpeechChoice::Check() const
{
    if (text.find_first_not_of(" \t\r\n") == std::string::npos)
        return "There is no text to speak. Type or paste the text, or load it from a text file.";
    return {};
}

int32_t LKVSpeak(LProgressDialog& dialog, const std::string& text, const std::string& voice, int32_t speed,
                 int32_t pitch, LCutListAudio& audio)
{
    audio.Clear();
    LSpeechSynth& synth = LSpeechSynthGet();
    std::string error;
    LSpeechSynth::Result result = LSpeechSynth::Result::Failed;
    bool sinkFailed = false;
    if (synth.Open(error)) {
        audio.sampleRate = synth.SampleRate();
        audio.channels = 1;
        dialog.SetText("Speaking the text", 0);
        dialog.SetText("Please wait...", 1);
        dialog.SetProgress(0);
        LSoundSink sink = audio.OpenSink(audio.sampleRate, 1);
        std::vector<int32_t> block;
        result = synth.Speak(
            text, voice, speed, pitch,
            [&](const int16_t* samples, int32_t count, double fraction) {
                if (dialog.IsCancelled())
                    return false;
                // The stream carries 16-bit audio as value * 16.
                block.resize(size_t(count));
                for (int32_t i = 0; i < count; ++i)
                    block[size_t(i)] = int32_t(samples[i]) * 16;
                if (count > 0)
                    sink->Write(block.data(), count);
                if (sink->IsError()) {
                    sinkFailed = true;
                    return false;
                }
                dialog.SetProgress(fraction);
                return true;
            },
            error);
        // The list takes the segment when the sink goes.
        sink = LSoundSink();
    }
    if (result == LSpeechSynth::Result::Done && !sinkFailed)
        return kJobDone;
    audio.Clear();
    if (sinkFailed)
        return kJobFailed;
    if (result == LSpeechSynth::Result::Cancelled)
        return kJobCancelled;
    LUiGet().Message(error, "Text To Speech", LUiButtons::Ok, LUiIcon::Exclamation);
    return kJobFailed;
}
