// Saving through the real encoder programs and our two adapters, decoding with
// ffmpeg and measuring what came back.
//
// SNR floors for 3 seconds of two crossing sweeps in stereo, about 10 dB under
// what lame 3.100, libvorbis 1.3.7 and FFmpeg 5.1 give (in brackets); a swapped
// channel, a byte-order or rate mistake or a lost block falls far below them:
//   MP3, VBR 32-128 kbit/s quality 4, joint stereo (the defaults)   32 dB  [42.4]
//   Ogg Vorbis, VBR 96-128 kbit/s quality 4, stereo                 28 dB  [38.9]
//   AAC, quality 100, stereo, in ADTS and in M4A                    30 dB  [40.5]
//   FLAC                                                             exact
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/LSettings.h"
#include "formats/EncoderTestUtil.h"
#include "formats/LAACEncodePipe.h"
#include "formats/LFlacEncodePipe.h"
#include "formats/LMP3EncodePipe.h"
#include "formats/LOggEncodePipe.h"
#include "formats/mp3/LMP3Source.h"
#include "support/TestSupport.h"

using test::Quote;
using test::TempPath;
using namespace test::encoder;

namespace {

constexpr int32_t kRate = 44100;
constexpr int32_t kFrames = 3 * kRate;

// Left rises 100 Hz -> 6 kHz while right falls 5 kHz -> 150 Hz, both
// exponential, so any delay or swapped channel shows.
std::vector<int32_t> Sweeps()
{
    std::vector<int32_t> v(size_t(kFrames) * 2);
    const double seconds = double(kFrames) / kRate;
    auto sweep = [&](double f0, double f1, int32_t i) {
        const double k = std::log(f1 / f0) / seconds;
        const double t = double(i) / kRate;
        return std::sin(2 * M_PI * f0 * (std::exp(k * t) - 1) / k);
    };
    for (int32_t i = 0; i < kFrames; ++i) {
        v[size_t(i) * 2] = int32_t(std::lround(0x30000 * sweep(100, 6000, i))) & ~15;
        v[size_t(i) * 2 + 1] = int32_t(std::lround(0x28000 * sweep(5000, 150, i))) & ~15;
    }
    return v;
}

struct Decoded {
    int32_t rate = 0;
    int32_t channels = 0;
    std::vector<int32_t> values;  // stream scale (x16)
};

// `path` as ffmpeg decodes it, at its own rate and channel count.
Decoded FfmpegDecode(const std::string& path)
{
    Decoded d;
    std::string info = TempPath("probe.txt");
    if (test::Run("ffprobe -v error -select_streams a:0 -show_entries stream=sample_rate,channels -of csv=p=0 " +
                  Quote("file:" + path) + " > " + Quote(info)) != 0)
        return d;
    std::sscanf(test::ReadFileBytes(info).c_str(), "%d,%d", &d.rate, &d.channels);
    std::string pcm = TempPath("decoded.s16");
    if (test::Run("ffmpeg -nostdin -v error -y -i " + Quote("file:" + path) + " -f s16le " + Quote(pcm)) != 0)
        return d;
    std::string bytes = test::ReadFileBytes(pcm);
    d.values.resize(bytes.size() / 2);
    for (size_t i = 0; i < d.values.size(); ++i)
        d.values[i] = int32_t(int16_t(uint16_t(uint8_t(bytes[2 * i]) | uint8_t(bytes[2 * i + 1]) << 8))) * 16;
    return d;
}

// SNR in dB of stereo `got` against `ref`, after finding the decoder's delay
// (0..4096 frames) on a stretch of the left channel; edges are left out.
double StereoSnr(const std::vector<int32_t>& ref, const std::vector<int32_t>& got)
{
    const int64_t frames = int64_t(ref.size() / 2);
    const int64_t gotFrames = int64_t(got.size() / 2);
    int64_t bestLag = 0;
    double bestErr = -1;
    for (int64_t lag = 0; lag <= 4096; ++lag) {
        double err = 0;
        for (int64_t i = 20000; i < 24096 && i + lag < gotFrames; i += 2) {
            const double d = double(ref[size_t(i) * 2]) - got[size_t(i + lag) * 2];
            err += d * d;
        }
        if (bestErr < 0 || err < bestErr) {
            bestErr = err;
            bestLag = lag;
        }
    }
    double signal = 0, noise = 0;
    for (int64_t i = 2048; i < frames - 2048 && i + bestLag < gotFrames; ++i) {
        for (int64_t c = 0; c < 2; ++c) {
            const double s = ref[size_t(i * 2 + c)];
            const double d = s - got[size_t((i + bestLag) * 2 + c)];
            signal += s * s;
            noise += d * d;
        }
    }
    return noise > 0 ? 10 * std::log10(signal / noise) : 200.0;
}

void UseRealComponents()
{
    UseComponent("mp3el", KELVANE_BIN_DIR "/kelvane-mp3el");
    UseComponent("aacenc", KELVANE_BIN_DIR "/kelvane-aacenc");
    UseComponent("oggenc", "oggenc");
    UseComponent("flacenc", "flac");
}

// Saves the sweeps to `path` through `sink`, checks the encode succeeded and
// returns the SNR of ffmpeg's decoding, after checking its rate and channels.
double SaveAndMeasure(const LSoundSink& sink, const std::string& path)
{
    EXPECT_TRUE(sink && !sink->IsError()) << path;
    if (!sink)
        return 0;
    SaveResult r = Save(sink, Sweeps(), kRate, 2);
    EXPECT_EQ(r.pumped, kJobDone) << path;
    EXPECT_EQ(r.finished, kJobDone) << path;
    Decoded d = FfmpegDecode(path);
    EXPECT_EQ(d.rate, kRate) << path;
    EXPECT_EQ(d.channels, 2) << path;
    return d.channels == 2 ? StereoSnr(Sweeps(), d.values) : 0;
}

} // namespace

TEST(EncoderRoundTrip, LossyFormatsKeepTheSignal)
{
    UseRealComponents();
    std::string mp3 = TempPath("sweeps.mp3");
    EXPECT_GE(SaveAndMeasure(LMP3EncodePipe::OpenMp3Sink(mp3, {}, kRate, 2), mp3), 32.0);

    LOggEncoderSettings ogg;
    ogg.channels = 2;
    std::string oggPath = TempPath("sweeps.ogg");
    EXPECT_GE(SaveAndMeasure(LOggEncodePipe::OpenOggSink(oggPath, ogg), oggPath), 28.0);

    for (const char* name : {"sweeps.aac", "sweeps.m4a"}) {
        std::string path = TempPath(name);
        EXPECT_GE(SaveAndMeasure(LAACEncodePipe::OpenAACSink(path, {}), path), 30.0) << name;
    }
    std::string adts = test::ReadFileBytes(TempPath("sweeps.aac")).substr(0, 2);
    EXPECT_EQ(adts, "\xFF\xF1");  // MPEG-4 ADTS
}

TEST(EncoderRoundTrip, AnMp3WeSaveReadsBackAtItsLengthAndPosition)
{
    // Our decoder trims the encoder's delay and padding as ffmpeg does: both give the
    // frames that were saved, sample for sample within the decoders' rounding.
    UseRealComponents();
    LMp3EncoderSettings cbr;
    cbr.constantBitRate = true;
    for (const LMp3EncoderSettings& settings : {LMp3EncoderSettings{}, cbr}) {
        std::string mp3 = TempPath("exact.mp3");
        ASSERT_EQ(Save(LMP3EncodePipe::OpenMp3Sink(mp3, settings, kRate, 2), Sweeps(), kRate, 2).finished, kJobDone);
        LSoundSource ours = LMP3Source::Open(mp3);
        EXPECT_EQ(ours->GetLength(), kFrames);
        std::vector<int32_t> values = test::ReadAll(ours);
        Decoded theirs = FfmpegDecode(mp3);
        ASSERT_EQ(values.size(), size_t(kFrames) * 2);
        ASSERT_EQ(theirs.values.size(), values.size());
        int32_t worst = 0;
        for (size_t i = 0; i < values.size(); ++i)
            worst = std::max(worst, std::abs(values[i] - theirs.values[i]));
        EXPECT_LE(worst, 3 * 16) << "at most 3 steps of 16 bits apart";
    }
}

TEST(EncoderRoundTrip, FlacIsExactAndNamesMayHoldAnything)
{
    UseRealComponents();
    LFlacEncoderSettings flac;
    flac.channels = 2;
    const std::string odd = "it's a \"test\" \\ ünïcödé, 50% – a:b";
    std::string path = TempPath(odd + ".flac");
    LSoundSink sink = LFlacEncodePipe::OpenFlacSink(path, flac);
    ASSERT_TRUE(sink && !sink->IsError());
    EXPECT_EQ(Save(sink, Sweeps(), kRate, 2).finished, kJobDone);
    Decoded d = FfmpegDecode(path);
    EXPECT_EQ(d.channels, 2);
    EXPECT_TRUE(d.values == Sweeps());

    // The same name through both adapters and oggenc.
    LOggEncoderSettings ogg;
    ogg.channels = 2;
    const std::pair<LSoundSink, std::string> saves[] = {
        {LMP3EncodePipe::OpenMp3Sink(TempPath(odd + ".mp3"), {}, kRate, 2), odd + ".mp3"},
        {LOggEncodePipe::OpenOggSink(TempPath(odd + ".ogg"), ogg), odd + ".ogg"},
        {LAACEncodePipe::OpenAACSink(TempPath(odd + ".m4a"), {}), odd + ".m4a"},
    };
    for (const auto& [save, name] : saves) {
        ASSERT_TRUE(save) << name;
        EXPECT_EQ(Save(save, Sweeps(), kRate, 2).finished, kJobDone) << name;
        EXPECT_EQ(FfmpegDecode(TempPath(name)).channels, 2) << name;
    }
}

TEST(EncoderRoundTrip, EncoderOptionsReachTheFile)
{
    UseRealComponents();
    // 16 kbit/s: one channel (at 22050 Hz on the pipe; lame picks the file's rate).
    LMp3EncoderSettings cbr;
    cbr.constantBitRate = true;
    cbr.cbrBitRate = 16;
    std::string mp3 = TempPath("low.mp3");
    LSoundSink sink = LMP3EncodePipe::OpenMp3Sink(mp3, cbr, kRate, 2);
    ASSERT_TRUE(sink && !sink->IsError());
    EXPECT_EQ(Save(sink, Sweeps(), kRate, 2).finished, kJobDone);
    Decoded d = FfmpegDecode(mp3);
    EXPECT_EQ(d.channels, 1);
    EXPECT_EQ(sink->GetSampleRate(), 22050);
    ASSERT_GT(d.rate, 0);
    EXPECT_NEAR(double(d.values.size()) / d.rate, 3.0, 0.1);

    // MPEG-2 AAC at an average bit rate, mono at a rate the encoder must resample.
    LAACEncoderSettings aac;
    aac.averageBitRate = true;
    aac.abrBitRate = 32;
    aac.sampleRate = 23000;
    aac.forceMpeg2 = aac.disableTns = true;
    std::string path = TempPath("mpeg2.aac");
    sink = LAACEncodePipe::OpenAACSink(path, aac);
    ASSERT_TRUE(sink && !sink->IsError());
    EXPECT_EQ(sink->GetChannels(), 1);
    EXPECT_EQ(Save(sink, Sweeps(), kRate, 2).finished, kJobDone);
    d = FfmpegDecode(path);
    EXPECT_EQ(d.rate, 22050);
    EXPECT_EQ(d.channels, 1);
    EXPECT_EQ(test::ReadFileBytes(path).substr(0, 2), "\xFF\xF9");  // MPEG-2 ADTS
}

TEST(EncoderAdapters, CommandLinesAreCheckedAndLameGetsRawPcmOptions)
{
    const std::string mp3el = KELVANE_BIN_DIR "/kelvane-mp3el";
    const std::string aacenc = KELVANE_BIN_DIR "/kelvane-aacenc";
    for (const std::string& bad : {mp3el + " -m j -b 128 -s 44.1 - ", mp3el + " -m x -b 128 -s 44.1 - o.mp3",
                                   mp3el + " -m j -b 128 -B 256 -s 44.1 - o.mp3", mp3el + " -m j -b 128 -s 4.41 - o.mp3",
                                   aacenc + " -C 3 -q 100 -R 44100 -X - -o o.aac",
                                   aacenc + " -C 2 -q 100 -R 44100 -X - -o o.wav",
                                   aacenc + " -C 2 -b 128 -q 100 -R 44100 -X - -o o.aac"})
        EXPECT_EQ(test::Run(bad + " < /dev/null 2>/dev/null"), 2) << bad;

    // A stand-in lame shows what the adapter runs.
    std::string fakeDir = TempPath("fakebin");
    test::Run("mkdir -p " + Quote(fakeDir));
    std::string args = TempPath("lame-args.txt");
    Script("fakebin/lame", "#!/bin/sh\nprintf '%s\\n' \"$@\" > " + Quote(args) + "\nexit 5\n");
    EXPECT_EQ(test::Run("PATH=" + Quote(fakeDir) + ":$PATH " + mp3el +
                        " -m m -p -v -b 32 -B 320 -V 2 -r -x -s 22.050 -S - 'o u t.mp3' < /dev/null"),
              5);
    EXPECT_EQ(test::ReadFileBytes(args), "-r\n--little-endian\n--signed\n--bitwidth\n16\n-s\n22.050\n"
                                         "--resample\n22.050\n-m\nm\n-p\n-V\n2\n"
                                         "-b\n32\n-B\n320\n--silent\n-\no u t.mp3\n");
}
