// The Tool menu's generators: the tone generator and text to speech.
#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "app/LKVSpeechChoice.h"
#include "app/LKVToneSettings.h"
#include "app/LSpeechSynth.h"
#include "app/MainDialog.h"
#include "core/LSettings.h"
#include "effects/LEfGenerate.h"
#include "effects/LSRCTone.h"

namespace {

// The voice of the user's language, for someone who never chose one: the
// locale's "de_DE.UTF-8" picks "de-de", else "de", else English. (Index 0 is
// the library's first voice in its own order, which is no one's choice.)
int32_t LocaleVoice(const std::vector<LSpeechSynth::Voice>& voices)
{
    std::string locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value) {
            locale = value;
            break;
        }
    }
    locale = locale.substr(0, locale.find_first_of(".@"));
    for (char& c : locale)
        c = c == '_' ? '-' : char(std::tolower(static_cast<unsigned char>(c)));
    const std::string language = locale.substr(0, locale.find('-'));
    for (const std::string& wanted : {locale, language, std::string("en"), std::string("en-us")})
        for (size_t i = 0; i < voices.size(); ++i)
            if (!wanted.empty() && wanted != "c" && wanted != "posix" && voices[i].language == wanted)
                return int32_t(i);
    return 0;
}

} // namespace

LKVFile* MainDialog::CmToneGenerator()
{
    StopPlayback();
    LKVToneChoice choice = LKVToneSettings::Read();
    choice.canInsert = current_ != nullptr;
    choice.insert = choice.insert && choice.canInsert;
    if (current_) {
        choice.documentRate = current_->audio.sampleRate;
        choice.documentChannels = current_->audio.channels;
    }
    if (!LUiGet().ToneDialog(choice))
        return nullptr;
    LKVToneSettings::Write(choice);
    LToneParams spec = choice.spec;
    const bool insert = choice.insert && current_;
    if (insert) {
        spec.sampleRate = current_->audio.sampleRate;
        spec.channels = current_->audio.channels;
    }
    LCutListAudio tone;
    const LSoundSource source = MakeSource<LSRCTone>(spec);
    if (RunJob("Tone Generator", [&](LProgressDialog& d) { return LEfGenerate(d, source, tone, LSRCTone::kJobText); }) !=
        kJobDone)
        return nullptr;
    if (!insert) {
        auto doc = std::make_unique<LKVFile>();
        doc->untitledNumber = GetUntitledIdx();
        doc->audio = std::move(tone);
        doc->pos.viewEnd = doc->audio.GetLength();
        // Its audio exists in no file yet: closing it must ask.
        doc->modified = true;
        return &AddNewDocument(std::move(doc));
    }
    LKVFile& doc = *current_;
    const int32_t at = std::clamp(doc.pos.cursor, 0, doc.audio.GetLength());
    StartModifyCurrentFile("Tone");
    doc.audio.EfInsert(at, tone);
    const int32_t end = int32_t(std::min<int64_t>(int64_t(at) + tone.GetLength(), doc.audio.GetLength()));
    SetSelection(at, end, at);
    EndModifyCurrentFile(at, doc.audio.sampleRate);
    return &doc;
}

LKVFile* MainDialog::CmTextToSpeech()
{
    StopPlayback();
    LSpeechSynth& synth = LSpeechSynthGet();
    std::string error;
    std::vector<LSpeechSynth::Voice> voices;
    if (synth.Open(error))
        voices = synth.Voices();
    if (voices.empty()) {
        LUiGet().Message(error.empty() ? kNoVoicesMessage : error + " " + kNoVoicesMessage, "Text To Speech",
                         LUiButtons::Ok, LUiIcon::Exclamation);
        return nullptr;
    }
    LKVSpeechChoice choice;
    for (const LSpeechSynth::Voice& v : voices) {
        choice.voices.push_back(v.name);
        choice.voiceIds.push_back(v.identifier);
    }
    const int32_t stored = LSettings::ReadInt(LKVSettings::kTextToSpeechVoice.section,
                                              LKVSettings::kTextToSpeechVoice.name, -1);
    choice.voice = stored >= 0 && size_t(stored) < voices.size() ? stored : LocaleVoice(voices);
    choice.speed = std::clamp(LKVSettings::kTextToSpeechSpeed.Read(), LKVSpeechChoice::kMinSpeed,
                              LKVSpeechChoice::kMaxSpeed);
    choice.pitch = std::clamp(LKVSettings::kTextToSpeechPitch.Read(), 0, 99);
    for (;;) {
        if (!LUiGet().SpeechDialog(choice))
            return nullptr;
        const std::string refused = choice.Check();
        if (refused.empty())
            break;
        LUiGet().Message(refused, "Text To Speech", LUiButtons::Ok, LUiIcon::Information);
    }
    choice.voice = std::clamp<int32_t>(choice.voice, 0, int32_t(voices.size()) - 1);
    LKVSettings::kTextToSpeechVoice.Write(choice.voice);
    LKVSettings::kTextToSpeechSpeed.Write(choice.speed);
    LKVSettings::kTextToSpeechPitch.Write(choice.pitch);
    LCutListAudio speech;
    if (RunJob("Text To Speech", [&](LProgressDialog& d) {
            return LKVSpeak(d, choice.text, voices[size_t(choice.voice)].identifier, choice.speed, choice.pitch,
                            speech);
        }) != kJobDone)
        return nullptr;
    auto doc = std::make_unique<LKVFile>();
    doc->untitledNumber = GetUntitledIdx();
    doc->audio = std::move(speech);
    doc->pos.viewEnd = doc->audio.GetLength();
    doc->modified = true;
    return &AddNewDocument(std::move(doc));
}
