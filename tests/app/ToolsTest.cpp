#include <gtest/gtest.h>

#include <cstdlib>

#include "app/LKVCommands.h"
#include "app/LKVSpeechChoice.h"
#include "app/LKVToneSettings.h"
#include "app/MainDialog.h"
#include "AppTestSupport.h"
#include "edit/LAudioCutTank.h"
#include "effects/LSRCTone.h"

using apptest::App;

namespace {

// Answers the speech dialog with the texts queued, then cancels.
class SpeechUi : public apptest::AppUi {
public:
    bool SpeechDialog(LKVSpeechChoice& choice) override
    {
        offered.push_back(choice);
        if (texts.empty())
            return false;
        choice.text = texts.front();
        texts.pop_front();
        return true;
    }
    std::deque<std::string> texts;
    std::vector<LKVSpeechChoice> offered;
};

// Answers the tone dialog with `answer` applied to what it was opened on.
class ToneUi : public apptest::AppUi {
public:
    bool ToneDialog(LKVToneChoice& choice) override
    {
        offered.push_back(choice);
        if (!answer)
            return false;
        answer(choice);
        return true;
    }
    std::function<void(LKVToneChoice&)> answer;
    std::vector<LKVToneChoice> offered;
};

} // namespace

TEST(ToneGeneratorCommand, MakesADocumentOrInsertsAtTheCursorAsOneUndoStep)
{
    App app;
    ToneUi ui;
    LSettings::WriteInt("Settings", "DefaultSampleRate", 22050);
    // Cancelled: nothing is made or stored.
    EXPECT_EQ(app.main.CmToneGenerator(), nullptr);
    ASSERT_EQ(ui.offered.size(), 1u);
    EXPECT_EQ(ui.offered[0].spec.sampleRate, 22050);
    EXPECT_FALSE(ui.offered[0].canInsert);
    EXPECT_TRUE(app.main.Documents().empty());

    ui.answer = [](LKVToneChoice& c) {
        c.spec.kind = LToneParams::Kind::Square;
        c.spec.frequency = 441.5;
        c.spec.durationMs = 500;
        c.spec.channels = 2;
    };
    LKVFile* made = app.main.ExecuteCommand(kCmToneGenerator) ? app.main.CurrentFile() : nullptr;
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->audio.sampleRate, 22050);
    EXPECT_EQ(made->audio.channels, 2);
    EXPECT_EQ(made->audio.GetLength(), 11025);
    EXPECT_TRUE(made->modified);
    EXPECT_TRUE(made->path.empty());
    // The values come back next time, from the section of their own.
    EXPECT_EQ(LSettings::ReadInt("ToneGenerator", "Frequency", 0), 44150);
    EXPECT_EQ(LKVToneSettings::Read().spec.kind, LToneParams::Kind::Square);

    // Inserted at the cursor, at the document's format whatever was typed.
    LKVFile& doc = *app.OpenRamp("a.wav", 8000);
    doc.pos.cursor = 3000;
    ui.answer = [](LKVToneChoice& c) {
        EXPECT_TRUE(c.canInsert);
        EXPECT_EQ(c.documentRate, 8000);
        c.insert = true;
        c.spec.kind = LToneParams::Kind::Sine;
        c.spec.durationMs = 100;
        c.spec.sampleRate = 8000;
    };
    ASSERT_EQ(app.main.CmToneGenerator(), &doc);
    EXPECT_EQ(doc.audio.GetLength(), 8000 + 800);
    EXPECT_EQ(doc.NextUndo().name, "Tone");
    EXPECT_EQ(doc.pos.selStart, 3000);
    EXPECT_EQ(doc.pos.selEnd, 3000 + 800);
    std::vector<int32_t> all = test::ReadAll(doc.audio.OpenSource());
    LToneParams expected = ui.offered.back().spec;
    expected.kind = LToneParams::Kind::Sine;
    expected.durationMs = 100;
    expected.sampleRate = 8000;
    expected.channels = 1;
    const std::vector<int32_t> tone = test::ReadAll(MakeSource<LSRCTone>(expected));
    EXPECT_TRUE(std::equal(tone.begin(), tone.end(), all.begin() + 3000));
    app.main.CmUndo();
    EXPECT_EQ(doc.audio.GetLength(), 8000);
}

TEST(TextToSpeechCommand, RefusesAnEmptyTextAndALongTextCancelsCleanly)
{
    App app;
    SpeechUi ui;
    LSettings::WriteInt("Settings", "TextToSpeechVoice", 100000);
    for (const char* name : {"LC_ALL", "LC_MESSAGES"})
        ::unsetenv(name);
    ::setenv("LANG", "C", 1);
    // A blank text is refused with a message and the dialog comes back with it.
    ui.texts = {" \n\t"};
    EXPECT_EQ(app.main.CmTextToSpeech(), nullptr);
    ASSERT_EQ(ui.offered.size(), 2u);
    ASSERT_FALSE(ui.offered[0].voices.empty()) << "no espeak-ng voices installed";
    // A stored index past the list: the locale's voice, an English one under "C".
    const LKVSpeechChoice offered = ui.offered[0];
    const std::string& id = offered.voiceIds[size_t(offered.voice)];
    EXPECT_EQ(id.substr(id.rfind('/') + 1, 2), "en") << id;
    EXPECT_EQ(ui.offered[1].text, " \n\t");
    ASSERT_EQ(ui.Texts().size(), 1u);
    EXPECT_EQ(ui.Texts()[0], "There is no text to speak. Type or paste the text, or load it from a text file.");

    // 20,000 words cancelled a few blocks in: no document, no message, nothing left in the tank.
    std::string words;
    for (int32_t i = 0; i < 20000; ++i)
        words += i % 12 == 11 ? "sentence. " : "word ";
    ui.texts = {words};
    const int32_t segmentsBefore = LAudioCutTank::Get().LiveSegments();
    {
        test::ScriptedProgress cancel(5);
        EXPECT_EQ(app.main.CmTextToSpeech(), nullptr);
        EXPECT_EQ(cancel.pumps, 5);
    }
    EXPECT_TRUE(app.main.Documents().empty());
    EXPECT_EQ(ui.Texts().size(), 1u);
    EXPECT_EQ(LAudioCutTank::Get().LiveSegments(), segmentsBefore);

    // Spoken: a new mono document at the synthesizer's rate; the voice is kept.
    ui.texts = {"Hello."};
    LKVFile* doc = app.main.CmTextToSpeech();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->audio.sampleRate, 22050);
    EXPECT_EQ(doc->audio.channels, 1);
    EXPECT_GT(doc->audio.GetLength(), 5000);
    EXPECT_EQ(LSettings::ReadInt("Settings", "TextToSpeechVoice", -1), offered.voice);
}
