// Headers that promise more than their files hold, or sizes no real file has:
// such files open as what they really hold, or are refused as corrupt.
#include <gtest/gtest.h>

#include <functional>

#include "core/ByteOrder.h"
#include "formats/LAifFile.h"
#include "formats/LAuFile.h"
#include "formats/LWaveFile.h"
#include "formats/FormatTestUtil.h"
#include "support/TestSupport.h"

using test::Quote;
using test::TempPath;

namespace {

uint8_t* Bytes(std::string& s) { return reinterpret_cast<uint8_t*>(s.data()); }

} // namespace

TEST(DamagedHeader, ACutFileOpensAsTheAudioItHolds)
{
    struct Case {
        const char* name;
        const char* soxOptions;
        LSoundSource (*open)(const std::string&);
        int32_t bytesPerFrame;  // 0: compressed, judged by what it decodes
    };
    const Case cases[] = {
        {"cut.wav", "-e signed -b 16", LWaveFile::OpenSource, 4},
        {"cut-ima.wav", "-e ima-adpcm", LWaveFile::OpenSource, 0},
        {"cut.aiff", "-e signed -b 16", LAifFile::OpenSource, 4},
        {"cut.au", "-e signed -b 16", LAuFile::OpenSource, 4},
    };
    for (const Case& c : cases) {
        // Five seconds of which the copy kept 3000 bytes.
        std::string path = test::SoxMake(c.name, std::string("-r 44100 -c 2 ") + c.soxOptions, "synth 5 sine 440");
        std::string whole = test::ReadFileBytes(path);
        ASSERT_GT(whole.size(), 100000u) << c.name;
        test::WriteFileBytes(path, whole.substr(0, 3000));
        LSoundSource s = c.open(path);
        ASSERT_EQ(s->GetError(), kSrcGood) << c.name;
        std::vector<int32_t> all = test::ReadAll(s, 777);
        if (c.bytesPerFrame) {
            EXPECT_LT(s->GetLength(), 3000 / c.bytesPerFrame) << c.name;
            EXPECT_GT(s->GetLength(), 2900 / c.bytesPerFrame) << c.name;
        } else {
            EXPECT_LT(s->GetLength(), 6000) << c.name << ": about 2 frames a byte";
        }
        EXPECT_EQ(all.size(), size_t(s->GetLength()) * 2) << c.name;
        // What is there is the tone, up to the last frame.
        ASSERT_GE(all.size(), 40u) << c.name;
        int32_t loud = 0;
        for (size_t i = all.size() - 40; i < all.size(); ++i)
            loud = std::max(loud, std::abs(all[i]));
        EXPECT_GT(loud, 0x10000) << c.name << ": the end is audio, not padding";
    }
}

TEST(DamagedHeader, ASmallFileClaimingGigabytesStaysSmall)
{
    // 46-byte header and 4 bytes of samples, the data size saying 2 GB.
    std::vector<int32_t> two = {1600, -1600};
    LSoundSink sink = LWaveFile::OpenSinkPCM(TempPath("claim.wav"), 8000, 0, 16, 1);
    sink->Write(two.data(), 2);
    sink.Reset();
    std::string wav = test::ReadFileBytes(TempPath("claim.wav"));
    ASSERT_EQ(wav.size(), 50u);
    PutLE32(Bytes(wav) + 42, 0x7FFFFFF0u);
    test::WriteFileBytes(TempPath("claim.wav"), wav);
    LSoundSource s = LWaveFile::OpenSource(TempPath("claim.wav"));
    EXPECT_EQ(s->GetLength(), 2);
    EXPECT_EQ(test::ReadAll(s), two);
}

namespace {

// `path` with the fmt chunk's body patched by `patch` (offsets within the body).
void PatchFmt(const std::string& path, const std::function<void(uint8_t*)>& patch)
{
    std::string bytes = test::ReadFileBytes(path);
    size_t fmt = bytes.find("fmt ");
    ASSERT_NE(fmt, std::string::npos);
    patch(Bytes(bytes) + fmt + 8);
    test::WriteFileBytes(path, bytes);
}

std::string FfmpegWav(const std::string& name, const std::string& codecOptions)
{
    std::string path = TempPath(name);
    EXPECT_EQ(test::Run("ffmpeg -v error -y -f lavfi -i 'sine=f=500:r=22050:d=1' " + codecOptions + " -f wav " +
                        Quote(path)),
              0);
    return path;
}

} // namespace

TEST(DamagedHeader, Mp3InWavWithoutAByteRateDecodesWithinItsBuffers)
{
    // The byte rate 0 left the codec a 2-byte input, which FFmpeg's MP3 parser read past.
    std::string path = FfmpegWav("mp3-no-rate.wav", "-c:a libmp3lame -b:a 32k");
    PatchFmt(path, [](uint8_t* fmt) {
        ASSERT_EQ(GetLE16(fmt), 0x55);
        PutLE32(fmt + 8, 0);
        PutLE16(fmt + 12, 1);
    });
    LSoundSource s = LWaveFile::OpenSource(path);
    ASSERT_EQ(s->GetError(), kSrcGood);
    std::vector<int32_t> all = test::ReadInPieces(s, {1, 1153, 4096});
    EXPECT_NEAR(double(all.size()), 22050.0, 2500.0);
    int32_t loud = 0;
    for (int32_t v : all)
        loud = std::max(loud, std::abs(v));
    EXPECT_GT(loud, 0x8000) << "ffmpeg's sine peaks at 1/8 of full scale";
}

TEST(DamagedHeader, CodecSizesNoFileHasAreCorrupt)
{
    struct Case {
        const char* name;
        const char* codec;
        std::function<void(uint8_t*)> patch;
    };
    const Case cases[] = {
        {"ima-no-block.wav", "-c:a adpcm_ima_wav", [](uint8_t* f) { PutLE16(f + 12, 0); }},
        {"ms-no-block.wav", "-c:a adpcm_ms", [](uint8_t* f) { PutLE16(f + 12, 0); }},
        {"ima-extra.wav", "-c:a adpcm_ima_wav", [](uint8_t* f) { PutLE16(f + 16, 900); }},
        {"alaw-align.wav", "-c:a pcm_alaw", [](uint8_t* f) { PutLE16(f + 12, 3); }},
        {"float-align.wav", "-c:a pcm_f32le", [](uint8_t* f) { PutLE16(f + 12, 2); }},
        {"float-no-bits.wav", "-c:a pcm_f32le", [](uint8_t* f) { PutLE16(f + 14, 0); }},
        {"s24-align.wav", "-c:a pcm_s24le", [](uint8_t* f) { PutLE16(f + 12, 4); }},
    };
    for (const Case& c : cases) {
        std::string path = FfmpegWav(c.name, c.codec);
        ASSERT_EQ(LWaveFile::OpenSource(path)->GetError(), kSrcGood) << c.name << " as ffmpeg wrote it";
        PatchFmt(path, c.patch);
        EXPECT_EQ(LWaveFile::OpenSource(path)->GetError(), kSrcInvalid) << c.name;
    }
}

TEST(DamagedHeader, RatesNoFileHasAreCorrupt)
{
    std::vector<int32_t> tone = test::Sine(100, 8000, 440, 100000);
    LSoundSink sink = LAuFile::OpenSink(TempPath("rate.au"), 8000, 1);
    sink->Write(tone.data(), 100);
    sink.Reset();
    std::string au = test::ReadFileBytes(TempPath("rate.au"));
    for (uint32_t rate : {0u, 0x80000000u, 0xFFFFFFF0u}) {
        PutBE32(Bytes(au) + 16, rate);
        test::WriteFileBytes(TempPath("rate.au"), au);
        EXPECT_EQ(LAuFile::OpenSource(TempPath("rate.au"))->GetError(), kSrcInvalid) << rate;
    }

    sink = LAifFile::OpenSink(TempPath("rate.aiff"), 8000, 1);
    sink->Write(tone.data(), 100);
    sink.Reset();
    std::string aiff = test::ReadFileBytes(TempPath("rate.aiff"));
    // Exponents beyond 32 bits, and a zero mantissa, read as 0.
    for (std::string bytes : {std::string("\x40\x1F\xFA\0\0\0", 6), std::string("\x40\xFF\xFA\0\0\0", 6),
                              std::string("\x40\x0B\0\0\0\0", 6)}) {
        aiff.replace(28, 6, bytes);
        test::WriteFileBytes(TempPath("rate.aiff"), aiff);
        EXPECT_EQ(LAifFile::OpenSource(TempPath("rate.aiff"))->GetError(), kSrcInvalid) << int(uint8_t(bytes[1]));
    }
}
