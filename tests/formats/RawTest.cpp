// Raw files in every coding, G.711, and the raw-audio settings and their dialog.
#include <gtest/gtest.h>

#include "core/LScriptedUi.h"
#include "core/LSettings.h"
#include "formats/FormatTestUtil.h"
#include "formats/G711.h"
#include "formats/LRawFile.h"
#include "formats/LRawSettings.h"

using test::SoxDecode;
using test::TempPath;

namespace {

// sox's options for a headerless file in each coding (index = codec number).
const char* kSoxRaw[kRawCodecCount] = {
    nullptr,
    "-t raw -e mu-law -b 8",
    "-t raw -e a-law -b 8",
    "-t raw -e signed-integer -b 16 -L",
    "-t raw -e unsigned-integer -b 8",
    "-t raw -e signed-integer -b 8",
    "-t raw -e signed-integer -b 16 -B",
};

LRawSettings Settings(uint8_t codec, uint32_t rate, uint8_t channels)
{
    LRawSettings s;
    s.codec = codec;
    s.sampleRate = rate;
    s.channels = channels;
    return s;
}

TEST(G711, EveryCodeExpandsToTheStandardLevelTimes16)
{
    // sox is an independent implementation of the standard's tables.
    std::string all;
    for (int32_t i = 0; i < 256; ++i)
        all += char(i);
    std::string path = TempPath("codes.raw");
    test::WriteFileBytes(path, all);
    std::vector<int32_t> mu = SoxDecode(path, "-r 8000 -c 1 -t raw -e mu-law -b 8");
    std::vector<int32_t> a = SoxDecode(path, "-r 8000 -c 1 -t raw -e a-law -b 8");
    ASSERT_EQ(mu.size(), 256u);
    ASSERT_EQ(a.size(), 256u);
    for (int32_t i = 0; i < 256; ++i) {
        EXPECT_EQ(kMuLawToSample[size_t(i)], mu[size_t(i)]) << "mu-law code " << i;
        EXPECT_EQ(kALawToSample[size_t(i)], a[size_t(i)]) << "A-law code " << i;
    }
    EXPECT_EQ(kMuLawToSample[0xFF], 0);
    EXPECT_EQ(kMuLawToSample[0x7F], 0);
    EXPECT_EQ(kMuLawToSample[0x80], 32124 * 16);
    EXPECT_EQ(kALawToSample[0xD5], 128);
    EXPECT_EQ(kALawToSample[0x55], -128);
    EXPECT_EQ(kALawToSample[0xAA], 32256 * 16);
}

TEST(G711, CompressionInvertsExpansionAndStaysMonotonic)
{
    for (int32_t i = 0; i < 256; ++i) {
        uint8_t c = uint8_t(i);
        // Negative zero (0x7F) comes back as positive zero.
        EXPECT_EQ(MuLawCompress(kMuLawToSample[c]), c == 0x7F ? 0xFF : c) << i;
        EXPECT_EQ(ALawCompress(kALawToSample[c]), c) << i;
    }
    EXPECT_EQ(MuLawCompress(0), 0xFF);
    EXPECT_EQ(ALawCompress(0), 0xD5);
    // Over the whole stream range the decoded level never goes down as the input rises.
    int32_t lastMu = INT32_MIN;
    int32_t lastA = INT32_MIN;
    for (int32_t v = -0x7FFF0; v <= 0x7FFF0; v += 7) {
        int32_t mu = kMuLawToSample[MuLawCompress(v)];
        int32_t a = kALawToSample[ALawCompress(v)];
        ASSERT_GE(mu, lastMu) << v;
        ASSERT_GE(a, lastA) << v;
        lastMu = mu;
        lastA = a;
    }
}

TEST(RawFile, ReadsWhatSoxWritesInEveryCoding)
{
    for (uint8_t codec = 1; codec < kRawCodecCount; ++codec) {
        for (uint8_t channels : {uint8_t(1), uint8_t(2)}) {
            SCOPED_TRACE("codec " + std::to_string(codec) + " channels " + std::to_string(channels));
            std::string fmt = std::string("-r 16000 -c ") + std::to_string(channels) + " " + kSoxRaw[codec];
            std::string path = test::SoxMake("in.raw", fmt, "synth 0.5 sine 200-5000 whitenoise gain -3");
            std::vector<int32_t> want = SoxDecode(path, fmt);
            LSoundSource src = LRawFile::OpenSource(path, Settings(codec, 16000, channels));
            ASSERT_EQ(src->GetError(), kSrcGood);
            EXPECT_EQ(src->GetSampleRate(), 16000);
            EXPECT_EQ(src->GetChannels(), channels);
            EXPECT_EQ(src->GetMaxAmplitude(), codec <= 2 ? 516096u : 524272u);
            EXPECT_EQ(test::ReadAll(src), want);
            src->Seek(0);
            EXPECT_EQ(test::ReadInPieces(src, {3, 4096, 1}), want);
        }
    }
}

TEST(RawFile, SoxReadsWhatWeWriteInEveryCoding)
{
    for (uint8_t codec = 1; codec < kRawCodecCount; ++codec) {
        SCOPED_TRACE("codec " + std::to_string(codec));
        std::string path = TempPath("out.raw");
        std::vector<int32_t> values = test::TestSignal(20000, 2, codec);
        {
            LSoundSink sink = LRawFile::OpenSink(path, Settings(codec, 11025, 2));
            ASSERT_FALSE(sink->IsError());
            test::WriteInPieces(sink, values, {8192, 77});
        }
        std::vector<int32_t> ours = test::ReadAll(LRawFile::OpenSource(path, Settings(codec, 11025, 2)));
        EXPECT_EQ(SoxDecode(path, std::string("-r 11025 -c 2 ") + kSoxRaw[codec]), ours);
        if (codec == kRawCodecPcm16LE || codec == kRawCodecPcm16BE) {
            EXPECT_EQ(ours, values);
        } else if (codec == kRawCodecPcm8Signed || codec == kRawCodecPcm8Unsigned) {
            // Nearest 8-bit level, but full scale clips to 127 * 4096.
            for (size_t i = 0; i < values.size(); ++i)
                ASSERT_LE(std::abs(ours[i] - values[i]), values[i] == 0x7FFF0 ? 4080 : 2048) << i;
        }
    }
}

TEST(RawFile, LengthFollowsTheFile)
{
    std::string path = TempPath("len.raw");
    test::WriteFileBytes(path, std::string(1001, '\x10'));
    LSoundSource src = LRawFile::OpenSource(path, Settings(kRawCodecPcm16LE, 8000, 2));
    EXPECT_EQ(src->GetLength(), 250);
    std::vector<int32_t> all = test::ReadAll(src);
    EXPECT_EQ(all.size(), 500u);
    EXPECT_EQ(all.back(), 0x1010 * 16);

    // Recorded into by another program while open.
    test::WriteFileBytes(path, std::string(2001, '\x10'));
    EXPECT_EQ(src->GetLength(), 500);

    // Before the start and past the end: silence, never a short read.
    src->Seek(-3);
    std::vector<int32_t> block(2 * 6, -1);
    src->Read(block.data(), 6);
    EXPECT_EQ(std::vector<int32_t>(block.begin(), block.begin() + 6), std::vector<int32_t>(6, 0));
    EXPECT_EQ(block[6], 0x1010 * 16);
    src->Seek(499);
    src->Read(block.data(), 6);
    EXPECT_EQ(std::vector<int32_t>(block.begin() + 2, block.end()), std::vector<int32_t>(10, 0));
    EXPECT_EQ(src->GetPosition(), 505);

    EXPECT_EQ(LRawFile::OpenSource(TempPath("missing.raw"), Settings(3, 8000, 1))->GetError(), kSrcCannotOpen);
    EXPECT_EQ(LRawFile::OpenSource(path, Settings(7, 8000, 1))->GetError(), kSrcInvalid);
    EXPECT_FALSE(LRawFile::OpenSink(TempPath("x.raw"), Settings(7, 8000, 1)));
}

// A GUI stand-in: presses OK with each typed rate in turn, Cancel when none is accepted.
class DialogUi : public LScriptedUi {
public:
    bool RawSettingsDialog(const std::string& section, LUiRawAudioSettings& values) override
    {
        openedWith.push_back(section + " " + std::to_string(values.sampleRate));
        LRawSettings s;
        for (const std::string& rate : typedRates) {
            if (LRawSettings::DialogOk(section, kRawCodecMuLaw, rate, 1, s)) {
                values = {s.sampleRate, s.channels, s.codec};
                return true;
            }
        }
        return false;
    }
    std::vector<std::string> openedWith;
    std::vector<std::string> typedRates;
};

bool Same(const LRawSettings& a, uint32_t rate, uint8_t channels, uint8_t codec)
{
    return a.sampleRate == rate && a.channels == channels && a.codec == codec;
}

TEST(RawSettings, StoredPerSectionAndEditedThroughTheDialog)
{
    EXPECT_TRUE(Same(LRawSettings::Read(kRawAudioSection), 44100, 1, kRawCodecPcm16LE));
    EXPECT_TRUE(Same(LRawSettings::Read(kVoxAudioSection), 8000, 1, kRawCodecVox));
    Settings(kRawCodecALaw, 22050, 2).Write(kRawAudioSection);
    EXPECT_TRUE(Same(LRawSettings::Read(kRawAudioSection), 22050, 2, kRawCodecALaw));
    EXPECT_EQ(LSettings::ReadInt("RawAudio", "Codec", -1), 2);
    LSettings::WriteInt("VoxAudio", "Channels", 0);
    EXPECT_TRUE(Same(LRawSettings::Read(kVoxAudioSection), 8000, 1, kRawCodecVox));

    // In a terminal the answer is the stored settings, as they are.
    LRawSettings s = LRawSettings::Read(kVoxAudioSection);
    ASSERT_TRUE(LRawSettings::SettingsDialog(s, kVoxAudioSection));
    EXPECT_TRUE(Same(s, 8000, 1, kRawCodecVox));

    // Rates outside 6000..196000 and text that is no number keep the dialog open.
    DialogUi ui;
    ui.typedRates = {"5999", "196001", "eight", "", "196000"};
    ASSERT_TRUE(LRawSettings::SettingsDialog(s, kVoxAudioSection));
    EXPECT_EQ(ui.openedWith, std::vector<std::string>{"VoxAudio 8000"});
    ASSERT_EQ(ui.messages.size(), 4u);
    for (const LUiMessage& m : ui.messages) {
        EXPECT_EQ(m.text, "Please enter a sample rate between 6000 and 196000.");
        EXPECT_EQ(m.caption, "Error");
        EXPECT_EQ(m.icon, LUiIcon::Stop);
    }
    EXPECT_TRUE(Same(s, 196000, 2, kRawCodecMuLaw));
    EXPECT_TRUE(Same(LRawSettings::Read(kVoxAudioSection), 196000, 2, kRawCodecMuLaw));

    // Cancel changes nothing.
    ui.typedRates = {"100"};
    EXPECT_FALSE(LRawSettings::SettingsDialog(s, kRawAudioSection));
    EXPECT_TRUE(Same(s, 196000, 2, kRawCodecMuLaw));
    EXPECT_TRUE(Same(LRawSettings::Read(kRawAudioSection), 22050, 2, kRawCodecALaw));
}

} // namespace
