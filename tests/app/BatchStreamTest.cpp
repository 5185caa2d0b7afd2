#include <gtest/gtest.h>
#include <unistd.h>

#include "app/KVBatchConverter.h"
#include "app/LKVBatchStream.h"
#include "core/LScriptedUi.h"
#include "edit/LAudioCutTank.h"
#include "support/TestSupport.h"

using test::TempPath;

// A run whose commands all stream must save exactly the bytes the tank path saves.
// "Insert Silence At The Start=0" changes nothing but needs the tank, so the same
// run with it in front takes the tank path.

namespace {

LKVCommand Parsed(const std::string& text)
{
    LKVCommand c;
    std::string error;
    EXPECT_TRUE(LKVBatchCatalogue::Parse(text, c, error)) << text << ": " << error;
    return c;
}

struct StreamRun {
    const char* name;
    std::vector<const char*> commands;
    LKVBatchConversion conversion;
};

// Saves `in` as `out` through ProcessFile; `segments` gets the tank's live
// segments just before the save.
int32_t Convert(const std::string& in, const std::string& out, const std::vector<LKVCommand>& commands,
                const LKVBatchConversion& conversion, int32_t& segments)
{
    auto count = [&](LCutListAudio&, LKVSaveToSink::Data&) {
        segments = LAudioCutTank::Get().LiveSegments();
        return kJobDone;
    };
    return KVBatchConverter::ProcessFile(in, out, commands, count, conversion);
}

} // namespace

TEST(BatchStream, SavesTheTankPathsBytes)
{
    ASSERT_TRUE(test::HaveProgram("sox") && test::HaveProgram("lame"));
    test::ScriptedProgress progress;
    const std::string wav = TempPath("44100-2-16.wav");
    // Near full scale, with a few clipped stretches for the limiters to act on.
    ASSERT_EQ(test::Run("sox -n -r 44100 -b 16 " + wav + " synth 3 sine 300 sine 470 gain -1 pad 0.5 0 gain 1.5 2>/dev/null"), 0);
    const std::string mono8 = TempPath("22050-1-8.wav");
    ASSERT_EQ(test::Run("sox -n -b 8 " + mono8 + " synth 1.3 square 90 rate 22050 2>/dev/null"), 0);
    const std::string adpcm = TempPath("44100-2-ima.wav");
    ASSERT_EQ(test::Run("sox " + wav + " -e ima-adpcm " + adpcm), 0);
    const std::string mp3 = TempPath("44100-2.mp3");
    ASSERT_EQ(test::Run("lame --quiet --noreplaygain " + wav + " " + mp3), 0);

    const std::vector<StreamRun> runs = {
        {"copy", {}, {}},
        {"rate", {}, {48000, 0}},
        {"mono, down to a quarter", {}, {8000, 1}},
        {"commands", {"Amplify=140", "Convert Sample Rate=32000", "Convert Channel (Mono <-> Stereo)=1", "Amplify=60"}, {0, 2}},
    };
    for (const std::string& in : {wav, mono8, adpcm, mp3}) {
        for (const StreamRun& run : runs) {
            for (const char* ext : {".wav", ".aiff"}) {
                SCOPED_TRACE(in + ", " + run.name + ", " + ext);
                std::vector<LKVCommand> commands;
                for (const char* c : run.commands)
                    commands.push_back(Parsed(c));
                ASSERT_TRUE(LKVBatchStream::Streams(commands));
                std::vector<LKVCommand> tankCommands = commands;
                tankCommands.insert(tankCommands.begin(), Parsed("Insert Silence At The Start=0"));
                ASSERT_FALSE(LKVBatchStream::Streams(tankCommands));

                const std::string streamed = TempPath(std::string("streamed") + ext);
                const std::string tank = TempPath(std::string("tank") + ext);
                int32_t segmentsStreamed = -1, segmentsTank = -1;
                ASSERT_EQ(Convert(in, streamed, commands, run.conversion, segmentsStreamed), kJobDone);
                ASSERT_EQ(Convert(in, tank, tankCommands, run.conversion, segmentsTank), kJobDone);
                EXPECT_EQ(segmentsStreamed, 0) << "no audio went into the tank";
                EXPECT_EQ(segmentsTank, 1);
                const std::string bytes = test::ReadFileBytes(streamed);
                EXPECT_GT(bytes.size(), 10000u);
                EXPECT_TRUE(bytes == test::ReadFileBytes(tank)) << "the outputs differ";
            }
        }
    }
}

TEST(BatchStream, FailsAsTheTankPathFails)
{
    LScriptedUi ui;
    test::ScriptedProgress progress;
    const std::string out = TempPath("out.wav");
    int32_t segments = 0;
    EXPECT_EQ(Convert(TempPath("missing.wav"), out, {}, {}, segments), kJobFailed);
    EXPECT_EQ(ui.messages.size(), 1u) << "the reader's message, once";

    const std::string in = TempPath("in.wav");
    ASSERT_EQ(test::Run("sox -n -b 16 " + in + " synth 0.2 sine 440"), 0);
    const LKVCommand badRate{16, {0xF4, 0x01, 0, 0}};  // 500 Hz, as a damaged script may hold
    ASSERT_TRUE(LKVBatchStream::Streams({badRate}));
    EXPECT_EQ(Convert(in, out, {badRate}, {}, segments), kJobFailed);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages.back().text, "Convert Sample Rate: Please enter a sample rate between 6000 and 196000.");
    EXPECT_NE(::access(out.c_str(), F_OK), 0) << "nothing written";
}
