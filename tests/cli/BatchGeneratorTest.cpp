#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "core/LFile.h"
#include "formats/LWaveFile.h"
#include "support/TestSupport.h"
#include "support/WavTestSupport.h"

using test::Quote;
using test::TempPath;

namespace {

std::vector<int32_t> Samples(const std::string& path) { return test::ReadAll(LWaveFile::OpenSource(path)); }

// The power of `freq` Hz in values [from, from + n) at `rate` (Goertzel).
double Goertzel(const std::vector<int32_t>& v, size_t from, size_t n, double freq, int32_t rate)
{
    const double coeff = 2 * std::cos(2 * M_PI * freq / rate);
    double s1 = 0, s2 = 0;
    for (size_t i = from; i < from + n; ++i) {
        const double s0 = double(v[i]) + coeff * s1 - s2;
        s2 = s1, s1 = s0;
    }
    return s1 * s1 + s2 * s2 - coeff * s1 * s2;
}

// The key of the strongest row and column tone in a stretch, or '?' when the
// two are not clearly above the others of their group.
char DecodeDtmf(const std::vector<int32_t>& v, size_t from, size_t n, int32_t rate)
{
    static const double kRows[] = {697, 770, 852, 941}, kColumns[] = {1209, 1336, 1477, 1633};
    static const char kKeys[] = "123A456B789C*0#D";
    auto strongest = [&](const double* f) {
        double p[4];
        int best = 0;
        for (int i = 0; i < 4; ++i)
            if ((p[i] = Goertzel(v, from, n, f[i], rate)) > p[best])
                best = i;
        for (int i = 0; i < 4; ++i)
            if (i != best && p[i] * 100 > p[best])
                return -1;
        return best;
    };
    const int row = strongest(kRows), column = strongest(kColumns);
    return row < 0 || column < 0 ? '?' : kKeys[row * 4 + column];
}

} // namespace

TEST(BatchGenerator, ToneEqualsSoxAndDtmfDecodesBack)
{
    if (!test::HaveProgram("sox"))
        GTEST_SKIP() << "sox is not installed";
    const std::string out = TempPath("gen");
    const std::string batch = test::BatchProgram() + " -q -o " + Quote(out);
    ASSERT_EQ(test::Run(batch + " --tone sine,1000,-6,1 --name sine"), 0);
    const std::string ref = TempPath("sox.wav");
    ASSERT_EQ(test::Run("sox -D -r 44100 -n -b 16 " + Quote(ref) + " synth 1 sine 1000 gain -6"), 0);
    const std::vector<int32_t> ours = Samples(FilePathCat(out, "sine.wav")), theirs = Samples(ref);
    ASSERT_EQ(ours.size(), 44100u);
    ASSERT_EQ(ours.size(), theirs.size());
    for (size_t i = 0; i < ours.size(); ++i)
        ASSERT_LE(std::abs(ours[i] - theirs[i]), 16) << "frame " << i;  // one 16-bit step

    // 100 ms tones and pauses; the default name is "tone".
    const std::string keys = "0123456789*#ABCD";
    ASSERT_EQ(test::Run(batch + " --dtmf " + Quote(keys) + " --rate 8000"), 0);
    const std::vector<int32_t> dtmf = Samples(FilePathCat(out, "tone.wav"));
    ASSERT_EQ(dtmf.size(), size_t(16 * 800 + 15 * 800));
    std::string decoded;
    for (size_t k = 0; k < keys.size(); ++k) {
        decoded += DecodeDtmf(dtmf, k * 1600, 800, 8000);
        if (k + 1 < keys.size()) {
            EXPECT_TRUE(std::all_of(dtmf.begin() + long(k * 1600 + 800), dtmf.begin() + long(k * 1600 + 1600),
                                    [](int32_t x) { return x == 0; }));
        }
    }
    EXPECT_EQ(decoded, keys);

    // The format options make the document; the command list and -f then apply.
    ASSERT_EQ(test::Run(batch + " --tone sweep,100,-6,0.5,5000 --rate 22050 --channels 2 -c Amplify=50 -f au"), 0);
    const std::string info = TempPath("info.txt");
    ASSERT_EQ(test::Run("soxi " + Quote(FilePathCat(out, "tone.au")) + " > " + Quote(info)), 0);
    const std::string text = test::ReadFileBytes(info);
    EXPECT_NE(text.find("22050"), std::string::npos) << text;
    EXPECT_NE(text.find("Channels       : 2"), std::string::npos) << text;
    EXPECT_NE(text.find("11025 samples"), std::string::npos) << text;
}

TEST(BatchGenerator, UnusableGeneratorsAreRefusedBeforeAnythingIsWritten)
{
    const std::string out = TempPath("none");
    const std::string err = TempPath("err.txt");
    const std::pair<const char*, const char*> bad[] = {
        {"--tone sweep,100,-6,1", "a sweep needs its END_FREQ"},
        {"--tone hum,50,-6,1", "--tone wants KIND,FREQ,DBFS,SECONDS"},
        {"--tone sine,30000,-6,1", "below half the sample rate (22050 Hz)"},
        {"--tone sine,1000,3,1", "between -120 and 0 dBFS"},
        {"--dtmf 12x", "\"x\" is not a DTMF digit"},
        {"--tone sine,1000,-6,1 --dtmf 1", "one generator per run"},
        {"--speak \" \"", "no text to speak"},
    };
    for (const auto& [args, message] : bad) {
        EXPECT_EQ(test::Run(test::BatchProgram() + " -o " + Quote(out) + " " + args + " 2> " + Quote(err)), 2) << args;
        EXPECT_NE(test::ReadFileBytes(err).find(message), std::string::npos) << args << ": " << test::ReadFileBytes(err);
    }
    EXPECT_FALSE(FolderExists(out));
}

TEST(BatchGenerator, SpeechEqualsWhatEspeakNgWrites)
{
    if (!test::HaveProgram("espeak-ng"))
        GTEST_SKIP() << "espeak-ng is not installed";
    const std::string text = "Kelvane speaks: 1,250 files converted, in 3.5 seconds!";
    const std::string out = TempPath("speech");
    ASSERT_EQ(test::Run(test::BatchProgram() + " -q -o " + Quote(out) + " --speak " + Quote(text) +
                        " --voice en-us --speed 160 --name said"),
              0);
    const std::string ref = TempPath("espeak.wav");
    ASSERT_EQ(test::Run("espeak-ng -v en-us -s 160 -w " + Quote(ref) + " " + Quote(text)), 0);
    const std::vector<int32_t> ours = Samples(FilePathCat(out, "said.wav")), theirs = Samples(ref);
    EXPECT_GT(ours.size(), 22050u);
    EXPECT_EQ(ours, theirs);
    EXPECT_NE(test::Run(test::BatchProgram() + " -q -o " + Quote(out) + " --speak hello --voice no-such-voice"), 0);
}
