#include <gtest/gtest.h>

#include "cli/BatchOptions.h"
#include "cli/BatchRun.h"
#include "core/LFile.h"
#include "core/LPRSourceToSink.h"
#include "core/LProgressDialog.h"
#include "core/LScriptedUi.h"
#include "formats/LWaveFile.h"
#include "support/TestSupport.h"
#include "support/WavTestSupport.h"

using test::Quote;
using test::ReadAll;
using test::TempPath;

namespace {

std::string Batch() { return test::BatchProgram(); }

std::string MakeWav(const std::string& name, int32_t rate, uint8_t channels, int32_t frames)
{
    return test::WriteSineWav(name, rate, channels, frames, 440, 300000);
}

bool Parse(std::vector<std::string> args, BatchOptions& o, std::string& error)
{
    return ParseBatchOptions(args, o, error);
}

} // namespace

TEST(BatchOptions, RefusesWhatWouldSurpriseTheUser)
{
    BatchOptions o;
    std::string e;
    EXPECT_FALSE(Parse({"a.wav"}, o, e)) << "no destination: sources are never overwritten by surprise";
    EXPECT_FALSE(Parse({"-o", "x", "--in-place", "a.wav"}, o, e));
    EXPECT_FALSE(Parse({"-o", "x"}, o, e));
    EXPECT_FALSE(Parse({"-o"}, o, e));
    EXPECT_FALSE(Parse({"--rate", "5000", "-o", "x", "a.wav"}, o, e));
    EXPECT_FALSE(Parse({"--rate", "44k", "-o", "x", "a.wav"}, o, e));
    EXPECT_FALSE(Parse({"--channels", "3", "-o", "x", "a.wav"}, o, e));
    EXPECT_FALSE(Parse({"--bogus", "-o", "x", "a.wav"}, o, e));
    ASSERT_TRUE(Parse({"--info", "a.wav"}, o, e));
    ASSERT_TRUE(Parse({"-q", "--rate", "48000", "--channels", "1", "-o", "out", "a.wav", "--", "-b.wav"}, o, e));
    EXPECT_EQ(o.rate, 48000);
    EXPECT_EQ(o.channels, 1);
    EXPECT_EQ(o.files, (std::vector<std::string>{"a.wav", "-b.wav"}));
}

TEST(Batch, CopiesAndConvertsIntoTheOutputFolder)
{
    std::string in = MakeWav("song.wav", 22050, 1, 30000);
    std::string out = TempPath("out");
    ASSERT_EQ(test::Run(Batch() + " -q -o " + Quote(out) + " " + Quote(in)), 0);
    EXPECT_EQ(ReadAll(LWaveFile::OpenSource(out + "/song.wav")), ReadAll(LWaveFile::OpenSource(in)));

    ASSERT_EQ(test::Run(Batch() + " -q --rate 44100 --channels 2 -o " + Quote(out) + " " + Quote(in)), 0);
    LSoundSource conv = LWaveFile::OpenSource(out + "/song.wav");
    EXPECT_EQ(conv->GetSampleRate(), 44100);
    EXPECT_EQ(conv->GetChannels(), 2);
    EXPECT_EQ(conv->GetLength(), 60000);
    EXPECT_EQ(test::Run("sox " + Quote(out + "/song.wav") + " -n stat 2>/dev/null"), 0);
    ASSERT_EQ(test::Run(Batch() + " -q --rate 48000 -o " + Quote(out) + " " + Quote(in)), 0);
    EXPECT_EQ(LWaveFile::OpenSource(out + "/song.wav")->GetLength(), 65306) << "30000 * 48000 / 22050, rounded";

    std::string info = TempPath("info.txt");
    ASSERT_EQ(test::Run(Batch() + " --info " + Quote(in) + " > " + Quote(info)), 0);
    EXPECT_NE(test::ReadFileBytes(info).find("22050 Hz, 1 channel, 0:00:01.36 (30000 frames), PCM 16-bit"),
              std::string::npos)
        << test::ReadFileBytes(info);
}

TEST(Batch, DecodesWithTheAdapterShippedBesideIt)
{
    // With nothing set and nothing else on PATH, the decoder components are ours.
    std::string in = MakeWav("voice.wav", 22050, 1, 30000);
    std::string m4a = TempPath("voice.m4a"), ogg = TempPath("voice.ogg");
    ASSERT_EQ(test::Run("ffmpeg -v error -y -i " + Quote(in) + " -c:a aac " + Quote(m4a)), 0);
    ASSERT_EQ(test::Run("oggenc -Q -o " + Quote(ogg) + " " + Quote(in)), 0);
    std::string info = TempPath("decoded.txt");
    ASSERT_EQ(test::Run("PATH=/usr/bin:/bin " + Batch() + " --info " + Quote(m4a) + " " + Quote(ogg) + " > " +
                        Quote(info)),
              0);
    std::string text = test::ReadFileBytes(info);
    EXPECT_NE(text.find("voice.m4a: 22050 Hz, 1 channel,"), std::string::npos) << text;
    EXPECT_NE(text.find("voice.ogg: 22050 Hz, 1 channel, 0:00:01.36 (30000 frames)"), std::string::npos) << text;
}

TEST(Batch, InPlaceAndSameFolderNeverLoseTheSource)
{
    std::string in = MakeWav("keep.wav", 8000, 2, 20000);
    std::vector<int32_t> original = ReadAll(LWaveFile::OpenSource(in));
    const std::string bytes = test::ReadFileBytes(in);
    // -o onto a source's own folder, however it is spelt, is refused before any
    // file runs: only --in-place replaces a source.
    std::string other = MakeWav("other.wav", 8000, 1, 1000);
    std::string aside = TempPath("aside");
    ASSERT_EQ(test::Run("mkdir -p " + Quote(aside) + " && ln -sfn " + Quote(test::HomeDir()) + " " +
                        Quote(aside + "/link") + " && ln -f " + Quote(in) + " " + Quote(aside + "/keep.wav")),
              0);
    std::string log = TempPath("refused.txt");
    const std::string sources = " " + Quote(other) + " " + Quote(in);
    for (std::string dir : {test::HomeDir(), test::HomeDir() + "/./", aside + "/link", aside + "/../"}) {
        EXPECT_EQ(test::Run(Batch() + " -q --channels 1 -o " + Quote(dir) + sources + " 2> " + Quote(log)), 2) << dir;
        EXPECT_NE(test::ReadFileBytes(log).find("would replace the source"), std::string::npos) << dir;
    }
    EXPECT_EQ(test::Run("cd " + Quote(test::HomeDir()) + " && " + Batch() + " -q -o . keep.wav 2>/dev/null"), 2);
    // A hard link of the source in the output folder is the source too.
    EXPECT_EQ(test::Run(Batch() + " -q -o " + Quote(aside) + sources + " 2>/dev/null"), 2);
    EXPECT_FALSE(FileExists(aside + "/other.wav")) << "refused before the first file ran";
    // Another source's name is as much a source as the file's own.
    std::string au = TempPath("keep.au");
    test::WriteFileBytes(au, "");
    EXPECT_EQ(test::Run(Batch() + " -q -f wav -o " + Quote(test::HomeDir()) + " " + Quote(au) + " " + Quote(in) +
                        " 2>/dev/null"),
              2);
    EXPECT_EQ(test::ReadFileBytes(in), bytes);
    EXPECT_EQ(test::Run("ls -A " + Quote(test::HomeDir()) + " | grep -q '^\\.kelvane-'"), 1) << "nothing written";

    ASSERT_EQ(test::Run(Batch() + " -q --in-place --channels 1 " + Quote(in)), 0);
    LSoundSource mono = LWaveFile::OpenSource(in);
    EXPECT_EQ(mono->GetChannels(), 1);
    EXPECT_EQ(mono->GetLength(), 20000);
}

TEST(Batch, FailuresAreReportedAndLeaveNoOutput)
{
    std::string out = TempPath("out2");
    std::string bad = TempPath("bad.wav");
    test::WriteFileBytes(bad, "not a wave file at all");
    std::string good = MakeWav("good.wav", 8000, 1, 1000);
    std::string log = TempPath("log.txt");
    int status = test::Run(Batch() + " -o " + Quote(out) + " " + Quote(bad) + " " + Quote(TempPath("none.wav")) + " " +
                           Quote(good) + " 2> " + Quote(log));
    EXPECT_EQ(status, 2);
    std::string text = test::ReadFileBytes(log);
    EXPECT_NE(text.find("because it is corrupt."), std::string::npos) << text;
    EXPECT_NE(text.find("Check it exists and you have read access."), std::string::npos) << text;
    // Each failed file's own line says why.
    for (const char* name : {"bad.wav -> ", "none.wav -> "}) {
        size_t at = text.find(name);
        ASSERT_NE(at, std::string::npos) << text;
        std::string line = text.substr(at, text.find('\n', at) - at);
        EXPECT_NE(line.find(": failed: Cannot open the file"), std::string::npos) << line;
    }
    EXPECT_FALSE(FileExists(out + "/bad.wav"));
    EXPECT_TRUE(FileExists(out + "/good.wav")) << "later files still convert";
    EXPECT_EQ(test::Run(Batch() + " -q -o /proc/forbidden " + Quote(good) + " 2>/dev/null"), 2);
    EXPECT_EQ(test::Run(Batch() + " " + Quote(good) + " 2>/dev/null"), 2);
}

TEST(Batch, CancelRemovesThePartialOutputAndKeepsTheSource)
{
    LScriptedUi ui;
    test::ScriptedProgress progress(2);
    std::string in = MakeWav("long.wav", 8000, 1, 100000);
    std::string before = test::ReadFileBytes(in);
    std::string target = TempPath("cancelled.wav");
    BatchOptions options;
    EXPECT_EQ(ConvertFile(in, target, options), kJobCancelled);
    EXPECT_FALSE(FileExists(target));
    EXPECT_EQ(test::ReadFileBytes(in), before);
    EXPECT_EQ(test::Run("ls -A " + Quote(test::HomeDir()) + " | grep -q '^\\.kelvane-'"), 1) << "no temporary left";
}

TEST(Batch, GoingThroughTheTankGivesTheSameBytesAsADirectConversion)
{
    test::ScriptedProgress progress;
    std::string out = TempPath("tank-out");
    for (auto [rate, channels] : {std::pair{0, 0}, std::pair{48000, 2}, std::pair{11025, 1}}) {
        std::string in = MakeWav("direct.wav", 22050, 2, 70000);
        std::string direct = TempPath("direct-copy.wav");
        {
            LSoundSource src = LWaveFile::OpenSource(in);
            LPRSourceToSink::Data data{"x", src,
                                       LWaveFile::OpenSinkPCM(direct, rate ? rate : 22050, 0, 16,
                                                              uint8_t(channels ? channels : 2))};
            ASSERT_EQ(RunJob("x", [&](LProgressDialog& d) { return LPRSourceToSink::Process(d, data); }), kJobDone);
        }
        std::string args = (rate ? " --rate " + std::to_string(rate) : std::string()) +
                           (channels ? " --channels " + std::to_string(channels) : std::string());
        ASSERT_EQ(test::Run(Batch() + " -q" + args + " -o " + Quote(out) + " " + Quote(in)), 0);
        EXPECT_EQ(test::ReadFileBytes(out + "/direct.wav"), test::ReadFileBytes(direct)) << args;
    }
}

TEST(Batch, ACopyTouchingNegativeFullScaleIsLossless)
{
    // A clipped master, made by sox: its samples reach -32768 (an 8-bit 0).
    for (std::string bits : {"16", "8"}) {
        std::string in = TempPath("clipped-" + bits + ".wav"), out = TempPath("clipped-out-" + bits);
        ASSERT_EQ(test::Run("sox -D -n -r 22050 -c 2 -b " + bits + " " + Quote(in) +
                            " synth 2 sine 441 sine 660 gain 6 2>/dev/null"),
                  0);
        ASSERT_EQ(test::Run(Batch() + " -q -o " + Quote(out) + " " + Quote(in)), 0) << bits;
        // Both as 16-bit PCM, which holds every 8-bit value exactly.
        std::string a = in + ".s16", b = out + "/clipped.s16";
        ASSERT_EQ(test::Run("sox " + Quote(in) + " -b 16 -e signed -t raw " + Quote(a)), 0);
        ASSERT_EQ(test::Run("sox " + Quote(out + "/clipped-" + bits + ".wav") + " -b 16 -e signed -t raw " + Quote(b)),
                  0);
        std::string source = test::ReadFileBytes(a), copy = test::ReadFileBytes(b);
        ASSERT_EQ(source.size(), size_t(22050 * 2 * 2 * 2)) << bits;
        bool touches = false;
        for (size_t i = 0; i + 1 < source.size(); i += 2)
            touches |= source[i] == '\0' && source[i + 1] == '\x80';
        ASSERT_TRUE(touches) << "the source reaches -32768";
        EXPECT_TRUE(source == copy) << bits << "-bit: the copy differs from its source";
    }
}

TEST(Batch, SavesEveryTypeAndRealToolsReadItBack)
{
    std::string in = TempPath("src.wav");
    {
        std::vector<int32_t> v = test::Sine(44100 * 2, 44100, 440, 0x30000, 2);
        LSoundSink sink = LWaveFile::OpenSinkPCM(in, 44100, 0, 16, 2);
        sink->Write(v.data(), 44100 * 2);
    }
    std::string out = TempPath("typed");
    struct Case {
        const char* ext;
        double floorDb;  // SNR of ffmpeg's decoding against the source
        const char* ffmpegInput;  // extra input options for headerless types
    };
    for (Case c : {Case{"wav", 200, ""}, Case{"au", 200, ""}, Case{"aiff", 200, ""}, Case{"flac", 200, ""},
                   Case{"raw", 200, "-f s16le -ar 44100 -ac 2"}, Case{"mp3", 15, ""}, Case{"ogg", 15, ""},
                   Case{"m4a", 15, ""}, Case{"aac", 15, ""}, Case{"gsm", 5, "-f gsm -ar 8000"}}) {
        ASSERT_EQ(test::Run(Batch() + " -q -f " + c.ext + " -o " + Quote(out) + " " + Quote(in)), 0) << c.ext;
        std::string file = out + "/src." + c.ext;
        ASSERT_TRUE(FileExists(file)) << c.ext;
        // Decode both with ffmpeg, at the output's own rate and in mono.
        std::string a = file + ".s16", b = in + "." + std::string(c.ext) + ".s16";
        ASSERT_EQ(test::Run("ffmpeg -v error -y " + std::string(c.ffmpegInput) + " -i " + Quote(file) +
                            " -ac 1 -f s16le " + Quote(a)),
                  0)
            << c.ext;
        std::string rate = std::string(c.ext) == "gsm" ? "8000" : "44100";
        ASSERT_EQ(test::Run("ffmpeg -v error -y -i " + Quote(in) + " -ac 1 -ar " + rate + " -f s16le " + Quote(b)), 0);
        std::string x = test::ReadFileBytes(a), y = test::ReadFileBytes(b);
        ASSERT_GT(x.size(), y.size() / 2) << c.ext;
        if (c.floorDb >= 200) {
            EXPECT_EQ(x, y) << c.ext << " is lossless";
            continue;
        }
        EXPECT_NEAR(double(x.size()), double(y.size()), 8192.0) << c.ext;
    }
    EXPECT_EQ(test::Run(Batch() + " -q -f xyz -o " + Quote(out) + " " + Quote(in) + " 2>/dev/null"), 2);
}

TEST(Batch, ScriptsCommandsAndParallelRunsGiveTheSameBytes)
{
    std::vector<std::string> files;
    std::string list;
    for (int i = 0; i < 4; ++i) {
        files.push_back(MakeWav("p" + std::to_string(i) + ".wav", 22050, 2, 30000 + i * 777));
        list += " " + Quote(files.back());
    }
    const std::string recipe = " -c Normalize=95 -c \"High-Pass Filter=80\" -c Echo=300,30";
    std::string script = TempPath("recipe.kvb");
    ASSERT_EQ(test::Run(Batch() + recipe + " --save-script " + Quote(script)), 0);
    std::string a = TempPath("via-c"), b = TempPath("via-s"), c = TempPath("via-j");
    ASSERT_EQ(test::Run(Batch() + " -q" + recipe + " --rate 44100 -o " + Quote(a) + list), 0);
    ASSERT_EQ(test::Run(Batch() + " -q -s " + Quote(script) + " --rate 44100 -o " + Quote(b) + list), 0);
    ASSERT_EQ(test::Run(Batch() + " -q -j 2 -s " + Quote(script) + " --rate 44100 -o " + Quote(c) + list), 0);
    for (int i = 0; i < 4; ++i) {
        std::string name = "/p" + std::to_string(i) + ".wav";
        std::string bytes = test::ReadFileBytes(a + name);
        ASSERT_GT(bytes.size(), 1000u);
        EXPECT_EQ(test::ReadFileBytes(b + name), bytes) << name;
        EXPECT_EQ(test::ReadFileBytes(c + name), bytes) << name << " with -j 2";
    }
    std::string listed = TempPath("list.txt");
    ASSERT_EQ(test::Run(Batch() + " --list-commands > " + Quote(listed)), 0);
    EXPECT_NE(test::ReadFileBytes(listed).find("Convert Channel (Mono <-> Stereo)"), std::string::npos);
    // --set lasts for the run only.
    std::string raw = TempPath("x.raw");
    test::WriteFileBytes(raw, std::string(3200, '\0'));
    std::string info = TempPath("info2.txt");
    ASSERT_EQ(test::Run(Batch() + " --set RawAudio.SampleRate=8000 --info " + Quote(raw) + " > " + Quote(info)), 0);
    EXPECT_NE(test::ReadFileBytes(info).find("8000 Hz"), std::string::npos) << test::ReadFileBytes(info);
    EXPECT_EQ(test::Run(Batch() + " --set nodot=1 --info " + Quote(raw) + " 2>/dev/null"), 2);
    EXPECT_EQ(test::Run(Batch() + " -s " + Quote(TempPath("missing.kvb")) + " -o x " + list + " 2>/dev/null"), 2);
}
