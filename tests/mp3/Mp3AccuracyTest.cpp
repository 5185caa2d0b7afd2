// Our decoder against libmpg123 on files of every kind the encoder makes: the
// ISO/IEC 11172-4 full-accuracy limits must hold sample by sample.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "Mp3TestSupport.h"
#include "formats/mp3/MP3HuffmanTables.h"
#include "support/TestSupport.h"

namespace {

struct Kind {
    const char* name;
    int32_t rate;          // of the generated WAV
    int32_t channels;
    const char* lame;      // encoder options
    int32_t intensity;     // 0 none, 1 intensity, 2 intensity with mid/side
    bool emptyRight = false;  // right channel emptied in the last granule of every third frame
};

const Kind kKinds[] = {
    {"mpeg1_44k_stereo_128", 44100, 2, "-m s -b 128", 0},
    {"mpeg1_44k_joint_320", 44100, 2, "-m j -b 320", 0},
    {"mpeg1_48k_stereo_320", 48000, 2, "-m s -b 320", 0},
    {"mpeg1_48k_joint_128", 48000, 2, "-m j -b 128", 0},
    {"mpeg1_32k_joint_128", 32000, 2, "-m j -b 128", 0},
    {"mpeg1_32k_stereo_320", 32000, 2, "-m s -b 320", 0},
    {"mpeg1_44k_mono_96", 44100, 1, "-m m -b 96", 0},
    {"mpeg1_44k_vbr_xing", 44100, 2, "-V 2", 0},
    {"mpeg1_44k_crc", 44100, 2, "-p -b 192", 0},
    {"mpeg1_44k_intensity", 44100, 2, "-m j -b 128", 1},
    {"mpeg1_44k_intensity_ms", 44100, 2, "-m j -b 128", 2},
    {"mpeg1_48k_intensity_empty_right", 48000, 2, "-m j -b 128", 1, true},
    {"mpeg2_22k_joint_40", 22050, 2, "-m j -b 40 --resample 22.05", 0},
    {"mpeg2_24k_stereo_64", 24000, 2, "-m s -b 64 --resample 24", 0},
    {"mpeg2_16k_joint_32", 16000, 2, "-m j -b 32 --resample 16", 0},
    {"mpeg2_16k_crc_mono", 16000, 1, "-p -m m -b 24 --resample 16", 0},
    {"mpeg2_22k_intensity", 22050, 2, "-m j -b 40 --resample 22.05", 1},
    {"mpeg2_24k_intensity_ms", 24000, 2, "-m j -b 48 --resample 24", 2, true},
    {"mpeg25_11k_joint_16", 11025, 2, "-m j -b 16 --resample 11.025", 0},
    {"mpeg25_8k_joint_8", 8000, 2, "-m j -b 8 --resample 8", 0},
    {"mpeg25_8k_intensity_ms", 8000, 2, "-m j -b 16 --resample 8", 2, true},
    {"mpeg25_8k_mono_8", 8000, 1, "-m m -b 8 --resample 8", 0},
};

class Mp3Accuracy : public testing::TestWithParam<Kind> {};

TEST_P(Mp3Accuracy, MatchesReferenceDecoder)
{
    const Kind& k = GetParam();
    ASSERT_TRUE(test::HaveProgram("lame") && test::HaveProgram("sox"));
    std::string wav = mp3test::MakeWav(std::string(k.name) + ".wav", k.rate, k.channels, 4.0);
    std::string mp3 = mp3test::Encode(wav, std::string(k.name) + ".mp3", k.lame);
    ASSERT_FALSE(mp3.empty());
    if (k.intensity) {
        // Most frames must take intensity stereo, MPEG-2 and 2.5 ones included.
        const size_t frames = mp3test::FrameOffsets(test::ReadFileBytes(mp3)).size();
        ASSERT_GT(size_t(mp3test::ForceIntensityStereo(mp3, k.intensity == 2)) * 2, frames);
    }
    if (k.emptyRight) {
        ASSERT_GT(mp3test::EmptyRightChannel(mp3, 3), 0);
    }

    mp3test::Decoded ref = mp3test::DecodeReference(mp3);
    mp3test::Decoded ours = mp3test::DecodeOurs(mp3);
    ASSERT_TRUE(ref.ok);
    ASSERT_TRUE(ours.ok);
    EXPECT_EQ(ours.rate, ref.rate);
    EXPECT_EQ(ours.channels, ref.channels);
    EXPECT_EQ(ours.samples.size(), ref.samples.size());
    mp3test::Accuracy a = mp3test::Compare(ours.samples, ref.samples);
    EXPECT_GT(a.compared, 0);
    EXPECT_LE(a.rms, mp3test::kMaxRms) << k.name;
    EXPECT_LE(a.maxAbs, mp3test::kMaxAbs) << k.name;
    RecordProperty("rms", std::to_string(a.rms));
    RecordProperty("max", std::to_string(a.maxAbs));
    std::printf("%-26s rms %.3g max %.3g (of full scale)\n", k.name, a.rms, a.maxAbs);

    // Reading in odd pieces gives the same stream as whole blocks.
    mp3test::Decoded pieces = mp3test::DecodeOurs(mp3, 577);
    EXPECT_EQ(pieces.samples, ours.samples);
}

INSTANTIATE_TEST_SUITE_P(Kinds, Mp3Accuracy, testing::ValuesIn(kKinds),
                         [](const testing::TestParamInfo<Kind>& param) { return std::string(param.param.name); });

// Every code table is a complete prefix code: a wrong entry breaks one or the other.
TEST(Mp3Huffman, TablesAreCompletePrefixCodes)
{
    auto check = [](const MP3HuffmanCodeTable& t, int32_t select) {
        const int32_t n = t.size * t.size;
        double kraft = 0.0;
        for (int32_t i = 0; i < n; ++i) {
            ASSERT_GT(t.lengths[i], 0);
            ASSERT_LT(uint32_t(t.codes[i]), 1u << t.lengths[i]) << "table " << select << " entry " << i;
            kraft += std::ldexp(1.0, -t.lengths[i]);
            for (int32_t j = 0; j < n; ++j) {
                if (j == i || t.lengths[j] < t.lengths[i])
                    continue;
                EXPECT_NE(uint32_t(t.codes[j]) >> (t.lengths[j] - t.lengths[i]), uint32_t(t.codes[i]))
                    << "table " << select << ": entry " << i << " is a prefix of " << j;
            }
        }
        EXPECT_DOUBLE_EQ(kraft, 1.0) << "table " << select;
    };
    for (int32_t s = 0; s < 32; ++s) {
        if (MP3PairCodeTable(s).size > 0)
            check(MP3PairCodeTable(s), s);
    }
    check(MP3QuadCodeTable(0), 100);
    check(MP3QuadCodeTable(1), 101);
}

} // namespace
