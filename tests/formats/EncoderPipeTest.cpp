// Encoder command lines and settings, and the PCM sink over a child process:
// what reaches the encoder, and that every way an encode can fail is reported.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "core/LProcess.h"
#include "core/LScriptedUi.h"
#include "core/LSettings.h"
#include "formats/LAACEncodePipe.h"
#include "formats/LFlacEncodePipe.h"
#include "formats/LMP3EncodePipe.h"
#include "formats/LOggEncodePipe.h"
#include "formats/EncoderTestUtil.h"
#include "support/TestSupport.h"

using test::TempPath;
using namespace test::encoder;

namespace {

const std::string kComp = "/opt/my encoders/enc";

LMp3EncoderSettings Cbr(int32_t kbps)
{
    LMp3EncoderSettings s;
    s.constantBitRate = true;
    s.cbrBitRate = kbps;
    return s;
}

} // namespace

TEST(EncoderCommand, Mp3RateChannelsAndMode)
{
    LEncoderCommand c = LMP3EncodePipe::BuildCommand(kComp, "/out/a.mp3", Cbr(128), 22050, 2);
    EXPECT_EQ(c.commandLine, "\"/opt/my encoders/enc\" -m j -b 128 -h -r -x -s 22.050 -S - \"/out/a.mp3\"");
    EXPECT_EQ(c.sampleRate, 22050);
    EXPECT_EQ(c.channels, 2);

    // Document rates at 128 kbit/s, snapped to MPEG audio rates.
    const std::pair<int32_t, int32_t> snaps[] = {{46000, 44100}, {96000, 48000}, {48000, 48000}, {40000, 44100},
                                                 {30000, 32000}, {24000, 24000}, {23000, 22050}, {20000, 22050},
                                                 {12000, 11025}, {9000, 11025},  {8000, 8000},   {6000, 8000}};
    for (auto [document, expected] : snaps)
        EXPECT_EQ(LMP3EncodePipe::BuildCommand(kComp, "o", Cbr(128), document, 2).sampleRate, expected) << document;
    EXPECT_NE(LMP3EncodePipe::BuildCommand(kComp, "o", Cbr(128), 46000, 2).commandLine.find(" -s 44.100 "),
              std::string::npos);

    // Below 24 kbit/s the pipe carries one channel, below 32 at most 22050 Hz.
    c = LMP3EncodePipe::BuildCommand(kComp, "o", Cbr(16), 44100, 2);
    EXPECT_NE(c.commandLine.find(" -m m -b 16 "), std::string::npos);
    EXPECT_EQ(c.channels, 1);
    EXPECT_EQ(c.sampleRate, 22050);

    // Above 160 kbit/s at a low rate: 44100 Hz.
    LMp3EncoderSettings vbr;
    vbr.vbrMaxBitRate = 320;
    c = LMP3EncodePipe::BuildCommand(kComp, "o", vbr, 8000, 2);
    EXPECT_EQ(c.sampleRate, 44100);
    EXPECT_NE(c.commandLine.find(" -m j -v -b 32 -B 320 -V 4 -r -x -s 44.100 "), std::string::npos);

    // The mode follows the channels: mono only for one channel.
    LMp3EncoderSettings mode = Cbr(128);
    mode.channelMode = 3;
    mode.errorProtection = true;
    mode.highQuality = false;
    EXPECT_NE(LMP3EncodePipe::BuildCommand(kComp, "o", mode, 44100, 2).commandLine.find(" -m s -p -b 128 -r"),
              std::string::npos);
    mode.channelMode = 7;
    EXPECT_NE(LMP3EncodePipe::BuildCommand(kComp, "o", mode, 44100, 2).commandLine.find(" -m j "), std::string::npos);
    c = LMP3EncodePipe::BuildCommand(kComp, "o", mode, 44100, 1);
    EXPECT_NE(c.commandLine.find(" -m m "), std::string::npos);
    EXPECT_EQ(c.channels, 1);
    vbr.vbrMinBitRate = 32;
    vbr.vbrMaxBitRate = 16;  // maximum under 24, minimum not: stereo data, so no mono mode
    c = LMP3EncodePipe::BuildCommand(kComp, "o", vbr, 44100, 2);
    EXPECT_EQ(c.commandLine.find(" -m m "), std::string::npos);
    EXPECT_EQ(c.channels, 2);
}

TEST(EncoderCommand, OggFlacAacRateAndChannels)
{
    LOggEncoderSettings ogg;
    LEncoderCommand c = LOggEncodePipe::BuildCommand(kComp, "/o/x.ogg", ogg);
    EXPECT_EQ(c.commandLine, "\"/opt/my encoders/enc\" -C 1 -q 4 -R 44100 -Q - -o \"/o/x.ogg\"");
    EXPECT_EQ(c.note, "");
    ogg.averageBitRate = true;
    ogg.sampleRate = 16000;
    ogg.channels = 2;
    c = LOggEncodePipe::BuildCommand(kComp, "x", ogg);
    EXPECT_EQ(c.sampleRate, 22050);
    EXPECT_EQ(c.channels, 2);
    EXPECT_NE(c.commandLine.find(" -C 2 -b 128 -R 22050 "), std::string::npos);
    EXPECT_EQ(c.note, "Ogg Vorbis at 128 kbit/s needs 22050 Hz or more");
    ogg.abrBitRate = 32;
    ogg.sampleRate = 48000;
    c = LOggEncodePipe::BuildCommand(kComp, "x", ogg);
    EXPECT_EQ(c.sampleRate, 32000);
    EXPECT_EQ(c.channels, 1);
    EXPECT_EQ(c.note, "Ogg Vorbis at 32 kbit/s takes 32000 Hz at most; Ogg Vorbis at 32 kbit/s is mono only");

    LFlacEncoderSettings flac;
    flac.channels = 0;
    flac.compression = 8;
    flac.sampleRate = 96000;
    c = LFlacEncodePipe::BuildCommand(kComp, "/o/x.flac", flac);
    EXPECT_EQ(c.commandLine, "\"/opt/my encoders/enc\" --channels=1 --compression-level-8 --sample-rate=96000 --lax "
                             "--endian=little --bps=16 --sign=signed -f - -o \"/o/x.flac\"");
    EXPECT_EQ(c.channels, 1);
    flac.channels = 5;
    EXPECT_EQ(LFlacEncodePipe::BuildCommand(kComp, "x", flac).channels, 2);

    LAACEncoderSettings aac;
    c = LAACEncodePipe::BuildCommand(kComp, "/o/x.m4a", aac);
    EXPECT_EQ(c.commandLine, "\"/opt/my encoders/enc\" -C 2 -q 100 -R 44100 -X - -o \"/o/x.m4a\"");
    aac.averageBitRate = true;
    aac.abrBitRate = 64;
    aac.channels = 1;
    aac.sampleRate = 8000;
    aac.forceMpeg2 = aac.disableTns = true;
    c = LAACEncodePipe::BuildCommand(kComp, "x.aac", aac);
    EXPECT_EQ(c.commandLine, "\"/opt/my encoders/enc\" -C 1 -b 64 -R 11025 --mpeg-vers 2 --no-tns -X - -o \"x.aac\"");
    EXPECT_EQ(c.note, "AAC at 64 kbit/s in mono needs 11025 Hz or more");
    EXPECT_EQ(c.FileRate(), 11025);
    aac.abrBitRate = 128;
    aac.sampleRate = 16000;
    EXPECT_EQ(LAACEncodePipe::BuildCommand(kComp, "x", aac).sampleRate, 22050);
    aac.channels = 2;  // stereo keeps its rate
    EXPECT_EQ(LAACEncodePipe::BuildCommand(kComp, "x", aac).sampleRate, 16000);
    aac.abrBitRate = 32;
    EXPECT_EQ(LAACEncodePipe::BuildCommand(kComp, "x", aac).channels, 1);

    // AAC files hold the standard rates only; halfway between two goes up.
    for (auto [asked, saved] : {std::pair{6000, 7350}, {7675, 8000}, {44100, 44100}, {50000, 48000}, {200000, 96000}})
        EXPECT_EQ(LAACEncodePipe::StandardRate(asked), saved) << asked;
    aac.sampleRate = 6000;
    c = LAACEncodePipe::BuildCommand(kComp, "x", aac);
    EXPECT_EQ(c.sampleRate, 6000) << "the encoder reads the document's rate and resamples";
    EXPECT_EQ(c.FileRate(), 7350);
}

TEST(EncoderCommand, AnyFileNameReachesTheEncoderUnchanged)
{
    const std::string names[] = {"/a b/it's \"quoted\".x", "C:\\dir\\trail\\", "/tmp/ünïcödé – ☃.x", "rel\\\"x"};
    for (const std::string& name : names) {
        std::vector<LEncoderCommand> commands = {
            LMP3EncodePipe::BuildCommand(kComp, name, {}, 44100, 2),
            LOggEncodePipe::BuildCommand(kComp, name, {}),
            LFlacEncodePipe::BuildCommand(kComp, name, {}),
            LAACEncodePipe::BuildCommand(kComp, name, {}),
        };
        for (const LEncoderCommand& c : commands) {
            std::vector<std::string> argv = SplitCommandLine(c.commandLine);
            ASSERT_GE(argv.size(), 3u);
            EXPECT_EQ(argv.front(), kComp);
            EXPECT_EQ(argv.back(), name) << c.commandLine;
        }
    }
    // A name that looks like an option is made a path.
    EXPECT_EQ(SplitCommandLine(LMP3EncodePipe::BuildCommand(kComp, "-V 0.mp3", {}, 44100, 2).commandLine).back(),
              "./-V 0.mp3");
}

// Presses OK on the AAC dialog with prepared values.
class AacDialogUi : public LScriptedUi {
public:
    bool AACEncodeDialog(LAACEncoderSettings& s) override
    {
        s = chosen;
        return true;
    }
    LAACEncoderSettings chosen;
};

TEST(EncoderSettings, VbrMinimumAndDialogs)
{
    // A VBR range above 160 kbit/s starts at 32 kbit/s at least; what is stored stays.
    LMp3EncoderSettings mp3;
    mp3.vbrMinBitRate = 8;
    mp3.vbrMaxBitRate = 161;
    mp3.Write();
    EXPECT_EQ(LMp3EncoderSettings::Read().vbrMinBitRate, 32);
    EXPECT_EQ(LSettings::ReadString("MP3Encoder", "VBRMinBitRate"), "8");
    LOggEncoderSettings ogg;
    ogg.vbrMinBitRate = 16;
    ogg.vbrMaxBitRate = 160;
    ogg.Write();
    EXPECT_EQ(LOggEncoderSettings::Read().vbrMinBitRate, 16);

    // A cancelled dialog stores nothing; the AAC dialog stores a quality of 0 as
    // the default, and a rate of 0 as chosen: "Same as the source".
    mp3.vbrQuality = 9;
    EXPECT_FALSE(LMp3EncoderSettings::Dialog(mp3));
    EXPECT_EQ(LMp3EncoderSettings::Read().vbrQuality, 4);
    AacDialogUi ui;
    ui.chosen.vbrQuality = 0;
    ui.chosen.sampleRate = 0;
    ui.chosen.forceMpeg2 = true;
    LAACEncoderSettings aac;
    ASSERT_TRUE(LAACEncoderSettings::Dialog(aac));
    EXPECT_EQ(aac.vbrQuality, 100);
    LAACEncoderSettings stored = LAACEncoderSettings::Read();
    EXPECT_EQ(stored.vbrQuality, 100);
    EXPECT_EQ(stored.sampleRate, 0);
    EXPECT_EQ(stored.ForDocument(22050, 1).sampleRate, 22050);
    EXPECT_TRUE(stored.forceMpeg2);
}

TEST(EncoderPipe, FeedsRounded16BitLittleEndianPcm)
{
    UseComponent("flacenc", FakeEncoder("catenc", "for out; do :; done\nexec cat > \"$out\""));
    LFlacEncoderSettings s;
    s.channels = 2;
    std::string out = TempPath("pcm out.flac");
    LSoundSink sink = LFlacEncodePipe::OpenFlacSink(out, s);
    ASSERT_TRUE(sink);
    ASSERT_FALSE(sink->IsError());
    EXPECT_EQ(sink->GetChannels(), 2);
    // Round to nearest, halves up, in frames of left then right.
    std::vector<int32_t> values = {0x7FFF0, -0x7FFF0, 7, 8, -8, -9, 0x123, -0x80000};
    SaveResult r = Save(sink, values, 44100, 2);
    EXPECT_EQ(r.pumped, kJobDone);
    EXPECT_EQ(r.finished, kJobDone);
    EXPECT_EQ(sink->GetPosition(), 4u);
    EXPECT_EQ(test::ReadFileBytes(out), std::string("\xFF\x7F\x01\x80\x00\x00\x01\x00"
                                                     "\x00\x00\xFF\xFF\x12\x00\x00\x80",
                                                     16));
}

TEST(EncoderPipe, FailedEncodesAreFailures)
{
    LFlacEncoderSettings s;
    // 344 KiB of PCM: more than the pipe holds, so an encoder that is gone must
    // fail a write.
    std::vector<int32_t> pcm = test::Sine(4 * 44100, 44100, 440, 0x40000);

    // Reads everything, then reports an error.
    UseComponent("flacenc", FakeEncoder("exit3", "cat > /dev/null\nexit 3"));
    LSoundSink sink = LFlacEncodePipe::OpenFlacSink(TempPath("a.flac"), s);
    SaveResult r = Save(sink, pcm, 44100, 1);
    EXPECT_EQ(r.pumped, kJobDone);
    EXPECT_EQ(r.finished, kJobFailed);
    EXPECT_EQ(LPipe16Sink::Of(sink)->ExitStatus(), 3);
    EXPECT_TRUE(sink->IsError());

    // Goes away without reading, successfully or killed: the writes fail.
    for (const char* body : {"exit 0", "head -c 100 > /dev/null\nkill -9 $$"}) {
        UseComponent("flacenc", FakeEncoder("early", body));
        sink = LFlacEncodePipe::OpenFlacSink(TempPath("b.flac"), s);
        r = Save(sink, pcm, 44100, 1);
        EXPECT_EQ(r.pumped, kJobFailed) << body;
        EXPECT_EQ(r.finished, kJobFailed) << body;
    }

    // Cannot be started at all.
    UseComponent("flacenc", Script("noexec", "#!/no/such/interpreter\n"));
    sink = LFlacEncodePipe::OpenFlacSink(TempPath("c.flac"), s);
    ASSERT_TRUE(sink);
    EXPECT_TRUE(sink->IsError());
    EXPECT_EQ(Save(sink, pcm, 44100, 1).finished, kJobFailed);

    // Not there: no sink.
    for (const char* component : {"mp3el", "oggenc", "flacenc", "aacenc"})
        UseComponent(component, TempPath("missing encoder"));
    EXPECT_FALSE(LMP3EncodePipe::OpenMp3Sink(TempPath("x.mp3"), {}, 44100, 2));
    EXPECT_FALSE(LOggEncodePipe::OpenOggSink(TempPath("x.ogg"), {}));
    EXPECT_FALSE(LFlacEncodePipe::OpenFlacSink(TempPath("x.flac"), {}));
    EXPECT_FALSE(LAACEncodePipe::OpenAACSink(TempPath("x.aac"), {}));
}

TEST(EncoderPipe, CancelledWaitCanBeResumedAndReleaseEndsTheInput)
{
    // The encoder finishes only once the test lets it, so the wait is cancelled
    // for certain.
    std::string gate = TempPath("gate");
    std::remove(gate.c_str());
    UseComponent("oggenc", FakeEncoder("gated", "cat > /dev/null\nwhile [ ! -e " + test::Quote(gate) +
                                                     " ]; do sleep 0.01; done\nexit 0"));
    LSoundSink sink = LOggEncodePipe::OpenOggSink(TempPath("g.ogg"), {});
    ASSERT_TRUE(sink && !sink->IsError());
    sink->Write(test::Sine(1000, 44100, 440, 1000).data(), 1000);
    test::ScriptedProgress progress(5);
    LPipe16Sink* pipe = LPipe16Sink::Of(sink);
    EXPECT_EQ(RunJob("Saving", [&](LProgressDialog& job) { return pipe->Finish(job); }), kJobCancelled);
    test::WriteFileBytes(gate, "");
    progress.cancelAtPump = 0;
    EXPECT_EQ(RunJob("Saving", [&](LProgressDialog& job) { return pipe->Finish(job); }), kJobDone);
    sink->Write(test::Sine(10, 44100, 440, 1000).data(), 10);
    EXPECT_TRUE(sink->IsError());

    // Released without Finish (a cancelled save): the encoder still sees the end
    // of its input and completes on its own.
    std::string done = TempPath("released");
    std::remove(done.c_str());
    UseComponent("oggenc", FakeEncoder("marker", "cat > /dev/null\necho ok > " + test::Quote(done)));
    sink = LOggEncodePipe::OpenOggSink(TempPath("r.ogg"), {});
    ASSERT_TRUE(sink && !sink->IsError());
    sink->Write(test::Sine(1000, 44100, 440, 1000).data(), 1000);
    sink.Reset();
    for (int i = 0; i < 6000 && test::ReadFileBytes(done) != "ok\n"; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(test::ReadFileBytes(done), "ok\n");
}
