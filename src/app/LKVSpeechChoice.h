#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/LProgressDialog.h"
#include "edit/LCutListAudio.h"

// What the text-to-speech dialog edits: the text, the voice as an index into
// `voices` (the synthesizer's list, shown by name), the speed in words per
// minute and the pitch (0..99, 50 the voice's own).
struct LKVSpeechChoice {
    std::string text;
    std::vector<std::string> voices;    // names, for the list
    std::vector<std::string> voiceIds;  // what the synthesizer takes, same order
    int32_t voice = 0;
    int32_t speed = 175;
    int32_t pitch = 50;

    static constexpr int32_t kMinSpeed = 80, kMaxSpeed = 450;
    // "There is no text to speak. ..." for a text of blanks only, else empty.
    std::string Check() const;
};

// The speech of `text` in `voice` as a job step: the samples go through a
// tank sink into `audio` (mono, at the synthesizer's rate) as they are made,
// with progress through the text and Cancel. On a cancel or a failure `audio`
// is left empty; a failure is reported with its message (caption "Text To Speech").
int32_t LKVSpeak(LProgressDialog& dialog, const std::string& text, const std::string& voice, int32_t speed,
                 int32_t pitch, LCutListAudio& audio);
