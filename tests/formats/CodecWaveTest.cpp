#include <gtest/gtest.h>

#include <cmath>

#include "core/ByteOrder.h"
#include "core/LScriptedUi.h"
#include "formats/LAcmStream.h"
#include "formats/LGenSource.h"
#include "formats/LWaveFile.h"
#include "support/TestSupport.h"

using test::Quote;
using test::ReadAll;
using test::TempPath;

namespace {

// ffmpeg's own decoding of `path` as 16-bit values in the stream scale, at most two channels.
std::vector<int32_t> FfmpegDecode(const std::string& path, int channels)
{
    // Decoded to 32 bits and rounded to the stream's 20, so that wide PCM is
    // compared at the precision we read and write it with.
    std::string raw = path + ".s32";
    EXPECT_EQ(test::Run("ffmpeg -v error -y -i " + Quote(path) + " -ac " + std::to_string(channels) +
                        " -f s32le " + Quote(raw)),
              0);
    std::string bytes = test::ReadFileBytes(raw);
    std::vector<int32_t> v(bytes.size() / 4);
    for (size_t i = 0; i < v.size(); ++i) {
        const int32_t s32 = int32_t(GetLE32(reinterpret_cast<const uint8_t*>(bytes.data()) + 4 * i));
        v[i] = int32_t(std::min<int64_t>((int64_t(s32) + 2048) >> 12, 0x7FFFF));
    }
    return v;
}

double SnrDb(const std::vector<int32_t>& ref, const std::vector<int32_t>& got, size_t skip)
{
    double s = 0, n = 0;
    for (size_t i = skip; i < std::min(ref.size(), got.size()); ++i) {
        s += double(ref[i]) * ref[i];
        n += (double(ref[i]) - got[i]) * (double(ref[i]) - got[i]);
    }
    return n == 0 ? 200.0 : 10 * std::log10(s / n);
}

} // namespace

TEST(CodecWave, ReadsEveryCompressedTagAsFfmpegDecodesIt)
{
    struct Case {
        const char* codec;
        int rate, channels;
    };
    for (Case c : {Case{"adpcm_ima_wav", 44100, 2}, Case{"adpcm_ms", 22050, 1}, Case{"gsm_ms", 8000, 1},
                   Case{"pcm_alaw", 8000, 2}, Case{"pcm_mulaw", 11025, 1}, Case{"pcm_s24le", 48000, 2},
                   Case{"pcm_s32le", 44100, 1}, Case{"pcm_f32le", 44100, 2}}) {
        std::string path = TempPath(std::string(c.codec) + ".wav");
        ASSERT_EQ(test::Run("ffmpeg -v error -y -f lavfi -i 'sine=f=330:r=" + std::to_string(c.rate) +
                            ":d=1.3' -af volume=0.7 -ac " + std::to_string(c.channels) + " -c:a " + c.codec + " " +
                            Quote(path)),
                  0);
        LSoundSource src = LWaveFile::OpenSource(path);
        ASSERT_EQ(src->GetError(), kSrcGood) << c.codec;
        std::vector<int32_t> ours = ReadAll(src, 1000);
        std::vector<int32_t> theirs = FfmpegDecode(path, c.channels);
        ASSERT_EQ(ours.size(), theirs.size()) << c.codec;
        // Wider samples are rounded to 16 bits here, truncated by ffmpeg: one step apart at most.
        const bool wide = std::string(c.codec).find("32") != std::string::npos ||
                          std::string(c.codec).find("24") != std::string::npos;
        for (size_t i = 0; i < ours.size(); ++i)
            ASSERT_LE(std::abs(ours[i] - theirs[i]), wide ? 16 : 0) << c.codec << " value " << i;
        EXPECT_EQ(src->GetLength(), int32_t(ours.size() / size_t(c.channels))) << "exact once read";
    }
}

TEST(CodecWave, SeekingInImaAdpcmLandsOnTheFrame)
{
    std::string path = TempPath("seek-ima.wav");
    ASSERT_EQ(test::Run("ffmpeg -v error -y -f lavfi -i 'anoisesrc=d=5:r=44100:a=0.3' -ac 2 -c:a adpcm_ima_wav " +
                        Quote(path)),
              0);
    LSoundSource src = LWaveFile::OpenSource(path);
    std::vector<int32_t> all = ReadAll(src, 4096);
    for (int32_t at : {0, 1, 2040, 2041, 2042, 100000, 150001, int32_t(all.size() / 2) - 10}) {
        src->Seek(at);
        std::vector<int32_t> part(2 * 300);
        src->Read(part.data(), 300);
        for (int32_t i = 0; i < 300 && size_t(at + i) < all.size() / 2; ++i) {
            ASSERT_EQ(part[size_t(2 * i)], all[size_t(2 * (at + i))]) << "seek " << at << " frame " << i;
            ASSERT_EQ(part[size_t(2 * i + 1)], all[size_t(2 * (at + i) + 1)]);
        }
    }
}

TEST(CodecWave, WritesEveryListedFormatAndFfmpegReadsIt)
{
    for (auto [rate, channels] : {std::pair{44100, 2}, std::pair{8000, 1}}) {
        std::vector<LAcmFormat> formats = LAcmFormats::List(rate, uint16_t(channels));
        ASSERT_GE(formats.size(), 7u);
        std::vector<int32_t> sine = test::Sine(rate * 2, rate, 440, 0x40000, uint8_t(channels));
        for (const LAcmFormat& f : formats) {
            std::string path = TempPath("ours-" + std::to_string(f.format.Tag()) + ".wav");
            {
                LSoundSink sink = LWaveFile::OpenSink(path, f.format);
                ASSERT_TRUE(sink && !sink->IsError()) << f.name << " " << f.detail;
                for (size_t i = 0; i < sine.size(); i += size_t(8192) * channels)
                    sink->Write(sine.data() + i, int32_t(std::min<size_t>(8192, (sine.size() - i) / channels)));
            }
            std::vector<int32_t> theirs = FfmpegDecode(path, channels);
            std::vector<int32_t> ours = ReadAll(LWaveFile::OpenSource(path));
            ASSERT_GE(theirs.size(), sine.size() * 9 / 10) << f.name;
            // Lossy codecs: a floor per family; MP3's encoder delay is skipped by aligning.
            double floor = f.name == "PCM" || f.name == "IEEE Float" ? 90.0  // the 16-bit quantisation of the source
                           : f.name.find("ADPCM") != std::string::npos ? 20.0
                           : f.name == "GSM 6.10"                      ? 8.0
                           : f.name.find("Law") != std::string::npos   ? 30.0
                                                                       : -100.0;
            if (floor > -100.0) {
                EXPECT_GE(SnrDb(sine, theirs, 0), floor) << f.name << " " << f.detail;
                EXPECT_GE(SnrDb(sine, ours, 0), floor) << f.name << " read back by us";
            }
        }
    }
}

TEST(CodecWave, CodingsNothingHereDecodesAreNamed)
{
    struct Case {
        uint16_t tag, bits, align;
        const char* coding;
    };
    const Case cases[] = {
        {0x7777, 8, 1, "format tag 0x7777"},
        {0x0003, 16, 2, "IEEE float 16-bit"},
        {0x0003, 8, 1, "IEEE float 8-bit"},
        {0x0001, 64, 8, "PCM 64-bit"},
    };
    for (const Case& c : cases) {
        std::string path = TempPath("coding.wav");
        std::string fmt(18, '\0');
        auto* p = reinterpret_cast<uint8_t*>(fmt.data());
        PutLE16(p, c.tag);
        PutLE16(p + 2, 1);
        PutLE32(p + 4, 8000);
        PutLE32(p + 8, 8000u * c.align);
        PutLE16(p + 12, c.align);
        PutLE16(p + 14, c.bits);
        std::string body = std::string("RIFF\x32\x00\x00\x00WAVEfmt \x12\x00\x00\x00", 20) + fmt +
                           std::string("data\x08\x00\x00\x00", 8) + "abcdefgh";
        test::WriteFileBytes(path, body);
        EXPECT_EQ(LWaveFile::OpenSource(path)->GetError(), kSrcNoCodec) << c.coding;
        LScriptedUi ui;
        LSoundSource s;
        uint8_t ask = 1;
        EXPECT_EQ(LGenSourceOpen(s, path, &ask), 2);
        ASSERT_EQ(ui.messages.size(), 1u);
        // No codec can be installed on this system: the coding is named instead.
        EXPECT_EQ(ui.messages[0].text, "Cannot open the file \"" + path +
                                           "\" because Kelvane cannot read its audio coding, " + c.coding + ".");
        EXPECT_EQ(ask, 0);
    }
}
