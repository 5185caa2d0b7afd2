#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "core/LFile.h"
#include "formats/LGenSource.h"
#include "formats/LWaveFile.h"
#include "formats/LWaveFileFormat.h"
#include "formats/LWaveSaveFormat.h"
#include "support/TestSupport.h"
#include "support/WavTestSupport.h"

using test::Quote;
using test::TempPath;

namespace {

struct Saved {
    int status = -1;
    std::string log;  // what the run printed on stderr
};

Saved Batch(const std::string& arguments)
{
    const std::string log = TempPath("batch.log");
    Saved s;
    s.status = test::Run(test::BatchProgram() + " -q " + arguments + " 2> " + Quote(log));
    s.log = test::ReadFileBytes(log);
    return s;
}

// "rate,channels" of the first audio stream, as ffprobe sees it.
std::string Probe(const std::string& path)
{
    const std::string out = TempPath("probe.txt");
    test::Run("ffprobe -v error -select_streams a:0 -show_entries stream=sample_rate,channels -of csv=p=0 " +
              Quote(path) + " > " + Quote(out));
    std::string text = test::ReadFileBytes(out);
    while (!text.empty() && (text.back() == '\n' || text.back() == ','))
        text.pop_back();
    return text;
}

std::vector<int32_t> Samples(const std::string& path)
{
    LSoundSource source;
    uint8_t askOnce = 0;
    if (LGenSourceOpen(source, path, &askOnce) != 0)
        return {};
    return test::ReadAll(source);
}

// The largest difference between two files' samples as sox decodes them to
// 32-bit integers; -1 when sox cannot read either or their lengths differ.
int64_t SoxDifference(const std::string& a, const std::string& b)
{
    const std::string ra = TempPath("a.s32"), rb = TempPath("b.s32");
    if (test::Run("sox " + Quote(a) + " -t s32 " + Quote(ra)) != 0 ||
        test::Run("sox " + Quote(b) + " -t s32 " + Quote(rb)) != 0)
        return -1;
    const std::string x = test::ReadFileBytes(ra), y = test::ReadFileBytes(rb);
    if (x.size() != y.size() || x.empty())
        return -1;
    int64_t worst = 0;
    for (size_t i = 0; i + 4 <= x.size(); i += 4) {
        int32_t p = 0, q = 0;
        std::memcpy(&p, x.data() + i, 4);
        std::memcpy(&q, y.data() + i, 4);
        worst = std::max<int64_t>(worst, std::abs(int64_t(p) - int64_t(q)));
    }
    return worst;
}

} // namespace

// A rate or channel count an encoder cannot take is replaced, and the user is
// told which one the file got and why, even under -q.
TEST(BatchSaveFormat, SaysWhichRateAnEncoderSavedAtAndWhy)
{
    ASSERT_TRUE(test::HaveProgram("sox") && test::HaveProgram("ffprobe"));
    const std::string in = TempPath("tone.wav");
    ASSERT_EQ(test::Run("sox -n -r 8000 -c 2 -b 16 " + Quote(in) + " synth 1 sine 300 sine 500"), 0);
    const std::string out = TempPath("out");
    struct Case {
        const char* options;
        const char* ext;
        const char* said;  // empty: nothing to say
        const char* probed;
    };
    const Case cases[] = {
        {"-f ogg", ".ogg",
         "saved at 22050 Hz (not 8000 Hz): Ogg Vorbis at up to 128 kbit/s needs 22050 Hz or more", "22050,2"},
        {"-f mp3 --rate 6000", ".mp3",
         "saved at 8000 Hz (not 6000 Hz): MP3 is saved at 8000, 11025, 16000, 22050, 24000, 32000, 44100 or 48000 Hz",
         "8000,2"},
        {"-f aac --rate 6000", ".aac",
         "saved at 7350 Hz (not 6000 Hz): AAC is saved at 7350, 8000, 11025, 12000, 16000, 22050, 24000, 32000, "
         "44100, 48000, 64000, 88200 or 96000 Hz",
         "7350,2"},
        {"-f mp3 --rate 44100 --set MP3Encoder.ConstantBitRate=1 --set MP3Encoder.CBRBitRate=16", ".mp3",
         "saved at 22050 Hz in mono (not 44100 Hz in stereo): MP3 at 16 kbit/s takes 22050 Hz at most; "
         "MP3 at 16 kbit/s is mono only",
         "22050,1"},
        {"-f flac", ".flac", "", "8000,2"},
        {"-f mp3", ".mp3", "", "8000,2"},
    };
    for (const Case& c : cases) {
        const Saved s = Batch(std::string(c.options) + " -o " + Quote(out) + " " + Quote(in));
        const std::string target = FilePathCat(out, std::string("tone") + c.ext);
        ASSERT_EQ(s.status, 0) << c.options << "\n" << s.log;
        if (*c.said)
            EXPECT_EQ(s.log, in + " -> " + target + ": " + c.said + "\n") << c.options;
        else
            EXPECT_EQ(s.log, "") << c.options;
        EXPECT_EQ(Probe(target), c.probed) << c.options;
    }
}

// WAV sources wider than 16 bits are saved as WAV in their own coding, in a
// streamed run and through the tank alike, with the 20 bits of the stream: what
// we read back is what we read from the source, and sox finds more than 16
// bits in it. A format the user stored still wins.
TEST(BatchSaveFormat, WavKeepsTheSourcesWidth)
{
    ASSERT_TRUE(test::HaveProgram("sox"));
    struct Case {
        const char* name;
        const char* make;  // sox output options
        const char* coding;
    };
    const Case cases[] = {
        {"s24.wav", "-e signed -b 24", "PCM 24-bit"},
        {"s32.wav", "-e signed -b 32", "PCM 32-bit"},
        {"f32.wav", "-e floating-point -b 32", "IEEE float 32-bit"},
        {"f64.wav", "-e floating-point -b 64", "IEEE float 64-bit"},
    };
    const std::string out = TempPath("wide");
    // The silence makes the run go through the tank; 100 ms is 4410 frames.
    for (const char* commands : {"", " -c \"Insert Silence At The Start=100\""}) {
        for (const Case& c : cases) {
            const std::string in = TempPath(c.name);
            ASSERT_EQ(test::Run("sox -D -n -r 44100 -c 2 " + std::string(c.make) + " " + Quote(in) +
                                " synth 0.5 sine 440 sine 660 gain -3"),
                      0);
            const Saved s = Batch("-o " + Quote(out) + commands + " " + Quote(in));
            const std::string target = FilePathCat(out, c.name);
            ASSERT_EQ(s.status, 0) << c.name << "\n" << s.log;
            EXPECT_EQ(s.log, "");
            const std::string info = TempPath("info.txt");
            ASSERT_EQ(test::Run(test::BatchProgram() + " --info " + Quote(target) + " > " + Quote(info)), 0);
            EXPECT_NE(test::ReadFileBytes(info).find(c.coding), std::string::npos) << test::ReadFileBytes(info);
            if (!*commands) {
                EXPECT_LE(SoxDifference(in, target), 2048) << c.name << ": within half a 20-bit step, as sox reads them";
            }
            std::vector<int32_t> read = Samples(in);
            ASSERT_FALSE(read.empty());
            if (*commands)
                read.insert(read.begin(), 4410 * 2, 0);
            EXPECT_EQ(Samples(target), read) << c.name << commands;
        }
    }

    // A wide source of another type keeps its width in WAV; a lossless type
    // written with 16 bits says so.
    const std::string flac = TempPath("s24.flac");
    ASSERT_EQ(test::Run("sox -D " + Quote(TempPath("s24.wav")) + " " + Quote(flac)), 0);
    Saved fromFlac = Batch("-f wav -o " + Quote(out) + " " + Quote(flac));
    ASSERT_EQ(fromFlac.status, 0) << fromFlac.log;
    EXPECT_EQ(fromFlac.log, "");
    EXPECT_LE(SoxDifference(flac, FilePathCat(out, "s24.wav")), 2048);
    fromFlac = Batch("-o " + Quote(out) + " " + Quote(flac));
    ASSERT_EQ(fromFlac.status, 0) << fromFlac.log;
    EXPECT_EQ(fromFlac.log, flac + " -> " + FilePathCat(out, "s24.flac") +
                                ": saved with 16-bit samples (the source is FLAC 24-bit)\n");

    // A format the user stored is kept: here 8-bit PCM, without a word.
    ASSERT_TRUE(LWaveSaveFormat::Store(LWaveFileFormat::Pcm(44100, 2, 8)));
    const Saved s = Batch("-o " + Quote(out) + " " + Quote(TempPath("s24.wav")));
    ASSERT_EQ(s.status, 0) << s.log;
    EXPECT_EQ(s.log, "");
    LWaveFile::Layout layout;
    ASSERT_TRUE(LWaveFile::ReadLayout(FilePathCat(out, "s24.wav"), layout));
    EXPECT_EQ(layout.format.Tag(), LWaveFileFormat::kTagPcm);
    EXPECT_EQ(layout.format.BitsPerSample(), 8);
}
