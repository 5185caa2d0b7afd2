#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sys/stat.h>

#include "core/ByteOrder.h"
#include "core/LFile.h"
#include "core/LScriptedUi.h"
#include "core/LSettings.h"
#include "formats/LGenSource.h"
#include "formats/LWaveFile.h"
#include "support/TestSupport.h"
#include "support/WavTestSupport.h"

using test::Quote;
using test::ReadAll;
using test::TempPath;

namespace {

// Answers the raw-settings dialog with OK (counting it) and records messages.
class RawOkUi : public LScriptedUi {
public:
    bool RawSettingsDialog(const std::string&, LUiRawAudioSettings&) override
    {
        ++rawDialogs;
        return true;
    }
    int rawDialogs = 0;
};

std::string MakeWav(const std::string& name, int32_t frames = 8000)
{
    return test::WriteSineWav(name, 8000, 1, frames, 300);
}

int32_t Open(const std::string& path, LSoundSource& s, uint8_t ask = 1) { return LGenSourceOpen(s, path, &ask); }

std::vector<int32_t> FfmpegS16(const std::string& path, int channels)
{
    std::string raw = path + ".s16";
    EXPECT_EQ(test::Run("ffmpeg -v error -y -i " + Quote(path) + " -ac " + std::to_string(channels) + " -f s16le " +
                        Quote(raw)),
              0);
    std::string bytes = test::ReadFileBytes(raw);
    std::vector<int32_t> v(bytes.size() / 2);
    for (size_t i = 0; i < v.size(); ++i)
        v[i] = int16_t(GetLE16(reinterpret_cast<const uint8_t*>(bytes.data()) + 2 * i)) * 16;
    return v;
}

} // namespace

TEST(Dispatch, ExtensionsDecideTheReader)
{
    LScriptedUi ui;
    std::string wav = MakeWav("a.tar.wav");
    LSoundSource s;
    EXPECT_EQ(Open(wav, s), 0);
    std::string upper = TempPath("LOUD.WAV");
    test::WriteFileBytes(upper, test::ReadFileBytes(wav));
    EXPECT_EQ(Open(upper, s), 0);
    EXPECT_EQ(LGenExtension(".wav"), "") << "a bare name has no extension";
    EXPECT_EQ(LGenExtension("dir/.wav"), ".wav");
    EXPECT_EQ(LGenExtension("x.d/name"), "");
    EXPECT_TRUE(ui.messages.empty());
}

TEST(Dispatch, RawFilesAskOnceAndSndIsRaw)
{
    RawOkUi ui;
    LSettings::WriteInt("RawAudio", "SampleRate", 8000);
    LSettings::WriteInt("RawAudio", "Codec", 3);
    std::vector<std::string> files;
    for (int i = 0; i < 20; ++i) {
        files.push_back(TempPath("r" + std::to_string(i) + (i % 2 ? ".raw" : ".snd")));
        test::WriteFileBytes(files.back(), std::string(400, char(i)));
    }
    uint8_t ask = 1;
    for (const std::string& f : files) {
        LSoundSource s;
        ASSERT_EQ(LGenSourceOpen(s, f, &ask), 0);
        EXPECT_EQ(s->GetSampleRate(), 8000);
        EXPECT_EQ(s->GetLength(), 200);
    }
    EXPECT_EQ(ui.rawDialogs, 1);

    LScriptedUi cancelling;  // the base request answers cancel
    LSoundSource s;
    uint8_t again = 1;
    EXPECT_EQ(LGenSourceOpen(s, files[0], &again), 1);
}

TEST(Dispatch, ErrorsShowOncePerFlag)
{
    LScriptedUi ui;
    uint8_t ask = 1;
    LSoundSource s;
    EXPECT_EQ(LGenSourceOpen(s, TempPath("missing.wav"), &ask), 2);
    EXPECT_EQ(LGenSourceOpen(s, TempPath("missing.mp3"), &ask), 2);
    test::WriteFileBytes(TempPath("junk.aiff"), "not an aiff file at all");
    EXPECT_EQ(LGenSourceOpen(s, TempPath("junk.aiff"), &ask), 2);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, LGenReadAccessMessage(TempPath("missing.wav")));
    EXPECT_EQ(ui.messages[0].caption, "Error");
    EXPECT_EQ(ui.messages[0].icon, LUiIcon::Stop);
    EXPECT_EQ(s->GetError(), kSrcInvalid);

    uint8_t fresh = 1;
    test::WriteFileBytes(TempPath("junk.mp3"), std::string(5000, 'x'));
    EXPECT_EQ(LGenSourceOpen(s, TempPath("junk.mp3"), &fresh), 2);
    EXPECT_NE(ui.messages.back().text.find("not a true layer-3 MPEG file"), std::string::npos);
}

TEST(Dispatch, DecoderComponentsKeepTheFormatAndTheLength)
{
    // The default decoder component: our adapter over libavformat and libavcodec.
    LScriptedUi ui;
    for (int32_t rate : {8000, 22050, 48000}) {
        for (uint8_t channels : {uint8_t(1), uint8_t(2)}) {
            const std::string tag = std::to_string(rate) + "-" + std::to_string(channels);
            const int32_t frames = rate + 123;
            const std::string src = test::WriteSineWav(tag + ".wav", rate, channels, frames, 300);
            struct Case {
                std::string file, make;
            };
            const std::string m4a = TempPath(tag + ".m4a"), aac = TempPath(tag + ".aac");
            const std::string ogg = TempPath(tag + ".ogg"), flac = TempPath(tag + ".flac");
            const Case cases[] = {
                {m4a, "ffmpeg -v error -y -i " + Quote(src) + " -c:a aac " + Quote(m4a)},
                {aac, "ffmpeg -v error -y -i " + Quote(src) + " -c:a aac " + Quote(aac)},
                {ogg, "oggenc -Q -o " + Quote(ogg) + " " + Quote(src)},
                {flac, "flac -s -f -o " + Quote(flac) + " " + Quote(src)},
            };
            for (const Case& c : cases) {
                ASSERT_EQ(test::Run(c.make), 0) << c.make;
                LSoundSource s;
                ASSERT_EQ(Open(c.file, s), 0) << c.file;
                // The decoded format, not an assumed one: a mono AAC is not doubled to stereo.
                EXPECT_EQ(s->GetSampleRate(), rate) << c.file;
                ASSERT_EQ(s->GetChannels(), channels) << c.file;
                std::vector<int32_t> ours = ReadAll(s);
                std::vector<int32_t> theirs = FfmpegS16(c.file, channels);
                if (c.file == ogg) {
                    // The length the last page's granule position gives, as libvorbis
                    // decodes it; ffmpeg's own trim is off by up to a block here, its
                    // samples are the same.
                    EXPECT_EQ(ours.size(), size_t(frames) * channels) << c.file;
                    const size_t common = std::min(ours.size(), theirs.size());
                    EXPECT_TRUE(std::equal(ours.begin(), ours.begin() + std::ptrdiff_t(common), theirs.begin()))
                        << c.file;
                } else {
                    // Priming and padding trimmed as ffmpeg trims them, sample for sample.
                    EXPECT_EQ(ours, theirs) << c.file;
                }
                if (c.file == flac) {
                    EXPECT_EQ(ours, ReadAll(LWaveFile::OpenSource(src))) << "lossless";
                }
            }
        }
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST(Dispatch, TheMediaDecoderMatchesFfmpeg)
{
    LScriptedUi ui;
    std::string src = MakeWav("tone.wav", 16000);
    struct Case {
        std::string file, make;
    };
    std::string odd = TempPath("it's a \"quoted\" ñame.wma");
    std::vector<Case> cases = {
        {odd, "ffmpeg -v error -y -i " + Quote(src) + " -c:a wmav2 " + Quote(odd)},
        {TempPath("t.opus.mka"), "ffmpeg -v error -y -i " + Quote(src) + " -c:a libopus -ar 48000 " +
                                     Quote(TempPath("t.opus.mka"))},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(test::Run(c.make), 0) << c.make;
        LSoundSource s;
        ASSERT_EQ(Open(c.file, s), 0) << c.file;
        std::vector<int32_t> ours = ReadAll(s);
        std::vector<int32_t> theirs = FfmpegS16(c.file, 1);
        ASSERT_FALSE(ours.empty()) << c.file;
        EXPECT_NEAR(double(ours.size()), double(theirs.size()), 2048.0) << c.file;
        auto rms = [](const std::vector<int32_t>& v) {
            double sum = 0;
            for (int32_t x : v)
                sum += double(x) * x;
            return std::sqrt(sum / double(v.size()));
        };
        EXPECT_NEAR(rms(ours), rms(theirs), rms(theirs) * 0.05) << c.file;
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST(Dispatch, TheDecoderProgramRefusesWhatItCannotDecode)
{
    // A non-zero exit and no output left behind, whatever the input.
    const std::string avdec = Quote(KELVANE_BIN_DIR "/kelvane-avdec");
    const std::string out = TempPath("decoded.wav");
    test::WriteFileBytes(TempPath("garbage.m4a"), std::string(3000, '\x5A'));
    test::WriteFileBytes(TempPath("empty.flac"), "");
    for (const std::string& input : {TempPath("garbage.m4a"), TempPath("empty.flac"), test::HomeDir(),
                                     TempPath("missing.ogg")}) {
        EXPECT_EQ(test::Run(avdec + " -d -o " + Quote(out) + " " + Quote(input) + " 2>/dev/null"), 1) << input;
        EXPECT_FALSE(FileExists(out)) << input;
    }
    EXPECT_EQ(test::Run(avdec + " -o 2>/dev/null"), 2);
    EXPECT_EQ(test::Run(avdec + " -x -o a b 2>/dev/null"), 2);
}

TEST(Dispatch, DecoderFailuresAreReported)
{
    LScriptedUi ui;
    // A decoder that exits at once without writing anything.
    std::string fake = TempPath("fake-oggdec.sh");
    test::WriteFileBytes(fake, "#!/bin/sh\nexit 0\n");
    ::chmod(fake.c_str(), 0755);
    LSettings::WriteString("Components\\oggdec", "Path", fake);
    test::WriteFileBytes(TempPath("x.ogg"), "OggS-not-really");
    LSoundSource s;
    EXPECT_EQ(Open(TempPath("x.ogg"), s), 2);
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(s->GetError(), kSrcCannotOpen);

    LSettings::WriteString("Components\\flacdec", "Path", "/nonexistent/flac");
    test::WriteFileBytes(TempPath("y.flac"), "fLaC");
    ui.messages.clear();
    EXPECT_EQ(Open(TempPath("y.flac"), s), 2);
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_NE(ui.messages[0].text.find("install-on-demand component \"flacdec\""), std::string::npos);

    ui.messages.clear();
    test::WriteFileBytes(TempPath("noise.xyz"), std::string(3000, '\x55'));
    EXPECT_EQ(Open(TempPath("noise.xyz"), s), 2);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("as audio"), std::string::npos);
    ui.messages.clear();
    EXPECT_EQ(Open(TempPath("gone.wma"), s), 2);
    EXPECT_NE(ui.messages[0].text.find("Digital Rights Management"), std::string::npos);
}

TEST(Dispatch, FilesThatReadButDoNotDecodeAreNotCalledUnreadable)
{
    LScriptedUi ui;
    test::WriteFileBytes(TempPath("empty.flac"), "");
    std::string noise;
    for (int i = 0; i < 3000; ++i)
        noise += char((i * 7919) >> 3);
    test::WriteFileBytes(TempPath("noise.m4a"), noise);
    test::WriteFileBytes(TempPath("noise.aac"), noise);
    for (const char* name : {"empty.flac", "noise.m4a", "noise.aac"}) {
        LSoundSource s;
        ui.messages.clear();
        EXPECT_EQ(Open(TempPath(name), s), 2) << name;
        ASSERT_EQ(ui.messages.size(), 1u) << name;
        EXPECT_NE(ui.messages[0].text.find("could not be decoded"), std::string::npos) << ui.messages[0].text;
    }
    for (const char* name : {"folder.flac", "folder.wav", "folder.au"}) {
        ASSERT_EQ(::mkdir(TempPath(name).c_str(), 0755), 0);
        LSoundSource s;
        ui.messages.clear();
        EXPECT_EQ(Open(TempPath(name), s), 2) << name;
        ASSERT_EQ(ui.messages.size(), 1u) << name;
        EXPECT_NE(ui.messages[0].text.find("is a folder"), std::string::npos) << ui.messages[0].text;
    }
    // What really is missing keeps its own words.
    LSoundSource s;
    ui.messages.clear();
    EXPECT_EQ(Open(TempPath("missing.flac"), s), 2);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, LGenReadAccessMessage(TempPath("missing.flac")));
}

namespace {

// A DCT file around `wav`: version 1, no flags, empty texts.
std::string Dct(const std::string& wav, uint16_t version = 1, int32_t lengthDelta = 0, uint32_t flags = 0,
                uint8_t audioPresent = 1)
{
    std::string h;
    auto u8 = [&](uint32_t v) { h += char(v); };
    auto u16 = [&](uint32_t v) { u8(v & 0xFF), u8(v >> 8); };
    auto u32 = [&](uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); };
    u16(version);
    u32(0);  // length, patched below
    u32(flags);
    h += std::string(8, '\0');
    if (version > 2)
        u32(0);
    h += std::string(4, '\0');
    for (int i = 0; i < 11; ++i)
        u8(0);
    u8(0);
    u32(0);  // notes length
    if (version != 0) {
        u8(audioPresent);
        u32(uint32_t(wav.size()));
    }
    h += wav;
    PutLE32(reinterpret_cast<uint8_t*>(h.data()) + 2, uint32_t(int64_t(h.size()) + lengthDelta));
    return h;
}

} // namespace

TEST(Dispatch, DctFilesAndTheirChecks)
{
    LScriptedUi ui;
    std::string wav = test::ReadFileBytes(MakeWav("inner.wav", 4000));
    std::string path = TempPath("memo.dct");
    for (uint16_t version : {0, 1, 3}) {
        test::WriteFileBytes(path, Dct(wav, version));
        LSoundSource s;
        ASSERT_EQ(Open(path, s), 0) << version;
        EXPECT_EQ(s->GetLength(), 4000);
    }
    struct Bad {
        std::string bytes;
        const char* message;
    };
    for (const Bad& b : {Bad{Dct(wav, 1, 1), "DCT File is corrupt"}, Bad{Dct(wav, 4), "DCT File load error"},
                         Bad{Dct(wav, 2, 0, 2), "encrypted"}, Bad{Dct(wav, 1, 0, 0, 0), "zero channels error"}}) {
        ui.messages.clear();
        test::WriteFileBytes(path, b.bytes);
        LSoundSource s;
        EXPECT_EQ(Open(path, s), 2) << b.message;
        ASSERT_FALSE(ui.messages.empty()) << b.message;
        EXPECT_NE(ui.messages[0].text.find(b.message), std::string::npos) << ui.messages[0].text;
    }
}
