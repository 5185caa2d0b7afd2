#include <gtest/gtest.h>

#include <random>

#include "core/ByteOrder.h"
#include "core/LFile.h"
#include "formats/LAcmStream.h"
#include "formats/LWaveFile.h"
#include "formats/LWaveSaveFormat.h"
#include "support/TestSupport.h"

using test::Quote;
using test::ReadAll;
using test::TempPath;

namespace {

// Decodes `path` with sox into 16-bit values scaled to the stream representation.
std::vector<int32_t> SoxDecode(const std::string& path)
{
    std::string raw = path + ".raw";
    EXPECT_EQ(test::Run("sox " + Quote(path) + " -t raw -e signed -b 16 -L " + Quote(raw)), 0);
    std::string bytes = test::ReadFileBytes(raw);
    std::vector<int32_t> v(bytes.size() / 2);
    for (size_t i = 0; i < v.size(); ++i)
        v[i] = int16_t(GetLE16(reinterpret_cast<const uint8_t*>(bytes.data()) + 2 * i)) * 16;
    return v;
}

std::string Chunk(const char* id, const std::string& body)
{
    std::string c(id, 4);
    uint8_t size[4];
    PutLE32(size, uint32_t(body.size()));
    c.append(reinterpret_cast<char*>(size), 4);
    c += body;
    if (body.size() & 1)
        c += '\0';
    return c;
}

std::string Fmt(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, bool eighteen = true)
{
    std::string f(eighteen ? 18 : 16, '\0');
    auto* p = reinterpret_cast<uint8_t*>(f.data());
    uint16_t align = uint16_t(channels * ((bits + 7) / 8));
    PutLE16(p, tag);
    PutLE16(p + 2, channels);
    PutLE32(p + 4, rate);
    PutLE32(p + 8, rate * align);
    PutLE16(p + 12, align);
    PutLE16(p + 14, bits);
    return f;
}

std::string Riff(const std::string& chunks)
{
    std::string r = "RIFF";
    uint8_t size[4];
    PutLE32(size, uint32_t(chunks.size() + 4));
    r.append(reinterpret_cast<char*>(size), 4);
    return r + "WAVE" + chunks;
}

std::string Pcm16(std::initializer_list<int16_t> values)
{
    std::string s;
    for (int16_t v : values) {
        s += char(uint16_t(v) & 0xFF);
        s += char(uint16_t(v) >> 8);
    }
    return s;
}

uint8_t OpenState(const std::string& bytes)
{
    std::string path = TempPath("state.wav");
    test::WriteFileBytes(path, bytes);
    return LWaveFile::OpenSource(path)->GetError();
}

} // namespace

TEST(Wave, ReadsWhatSoxAndFfmpegWriteSampleExact)
{
    struct Case {
        std::string name;
        std::string command;
    };
    std::string d = test::HomeDir() + "/";
    std::vector<Case> cases = {
        {"sox-8k-1-8.wav", "sox -n -r 8000 -c 1 -b 8 -e unsigned " + d + "sox-8k-1-8.wav synth 1.3 sine 300 gain -2"},
        {"sox-44k-2-16.wav", "sox -n -r 44100 -c 2 -b 16 " + d + "sox-44k-2-16.wav synth 2 sine 300 sine 1200 gain -1"},
        {"ffmpeg-22k-2-8.wav", "ffmpeg -v error -f lavfi -i sine=f=500:r=22050:d=1.1 -ac 2 -c:a pcm_u8 -y " + d +
                                   "ffmpeg-22k-2-8.wav"},
        {"ffmpeg-48k-1-16-list.wav", "ffmpeg -v error -f lavfi -i sine=f=700:r=48000:d=1.7 -metadata title=odd "
                                     "-metadata artist=abc -c:a pcm_s16le -y " + d + "ffmpeg-48k-1-16-list.wav"},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(test::Run(c.command), 0) << c.command;
        std::string path = d + c.name;
        LSoundSource src = LWaveFile::OpenSource(path);
        ASSERT_EQ(src->GetError(), kSrcGood) << c.name;
        EXPECT_EQ(src->GetMaxAmplitude(), 0x7FFF0u);
        std::vector<int32_t> want = SoxDecode(path);
        EXPECT_EQ(ReadAll(src, 1000), want) << c.name;
        src->Seek(0);
        EXPECT_EQ(ReadAll(src, 8192), want) << c.name << " after a seek to 0";
    }
    std::string list = test::ReadFileBytes(d + "ffmpeg-48k-1-16-list.wav");
    EXPECT_NE(list.find("LIST"), std::string::npos) << "the case must carry a LIST chunk";
}

TEST(Wave, ChunkWalking)
{
    std::string data = Chunk("data", Pcm16({100, -200, 300}));
    std::string fmt = Chunk("fmt ", Fmt(1, 1, 8000, 16));
    // Odd-sized chunk with its pad byte, and a chunk before fmt.
    std::string odd = Riff(Chunk("junk", "abc") + fmt + Chunk("note", "x") + data);
    std::string path = TempPath("odd.wav");
    test::WriteFileBytes(path, odd);
    LSoundSource s = LWaveFile::OpenSource(path);
    ASSERT_EQ(s->GetError(), kSrcGood);
    EXPECT_EQ(ReadAll(s), (std::vector<int32_t>{1600, -3200, 4800}));
    EXPECT_EQ(test::Run("sox " + Quote(path) + " -n stat 2>/dev/null"), 0) << "sox agrees it is valid";

    // Leading chunk-shaped data before the RIFF form is skipped.
    EXPECT_EQ(OpenState(Chunk("ABCD", "12345678") + Riff(fmt + data)), kSrcGood);
    EXPECT_EQ(OpenState(Riff(data + fmt)), kSrcInvalid) << "data before fmt";
    EXPECT_EQ(OpenState(Riff(fmt)), kSrcInvalid) << "no data";
    EXPECT_EQ(OpenState(Riff(Chunk("fmt ", std::string(15, '\0')) + data)), kSrcInvalid) << "fmt too small";
    EXPECT_EQ(OpenState(Riff(Chunk("fmt ", Fmt(1, 1, 8000, 16, false)) + data)), kSrcGood) << "16-byte fmt";
    EXPECT_EQ(OpenState(Riff(Chunk("fmt ", Fmt(1, 1, 196000, 16)) + data)), kSrcGood);
    EXPECT_EQ(OpenState(Riff(Chunk("fmt ", Fmt(1, 1, 196001, 16)) + data)), kSrcInvalid);
    EXPECT_EQ(OpenState(Riff(Chunk("fmt ", Fmt(1, 255, 8000, 16)) + data)), kSrcGood);
    EXPECT_EQ(OpenState(Riff(Chunk("fmt ", Fmt(1, 0, 8000, 16)) + data)), kSrcInvalid);
    EXPECT_EQ(OpenState(Riff(Chunk("fmt ", Fmt(1, 256, 8000, 16)) + data)), kSrcInvalid);
    EXPECT_EQ(OpenState(Riff(Chunk("fmt ", Fmt(3, 1, 8000, 32)) + data)), kSrcGood) << "float through the codec layer";
    EXPECT_EQ(OpenState(Riff(Chunk("fmt ", Fmt(1, 1, 8000, 24)) + data)), kSrcGood);
    EXPECT_EQ(OpenState(Riff(Chunk("fmt ", Fmt(1, 1, 8000, 20)) + data)), kSrcGood) << "20 bits in 3 bytes";
    EXPECT_EQ(OpenState("RIFF"), kSrcInvalid);
    EXPECT_EQ(LWaveFile::OpenSource(TempPath("missing.wav"))->GetError(), kSrcCannotOpen);
    EXPECT_EQ(LWaveFile::OpenSource(TempPath("missing.wav"))->GetSampleRate(), 11025);
}

TEST(Wave, OddLayoutsOfData)
{
    // 12-bit samples live in 16-bit words.
    std::string twelve = Riff(Chunk("fmt ", Fmt(1, 1, 8000, 12)) + Chunk("data", Pcm16({0x7FF0, -16})));
    std::string path = TempPath("twelve.wav");
    test::WriteFileBytes(path, twelve);
    EXPECT_EQ(ReadAll(LWaveFile::OpenSource(path)), (std::vector<int32_t>{0x7FF0 * 16, -256}));

    // A data chunk declared longer than the file is cut to the frames it holds.
    std::string longer = Riff(Chunk("fmt ", Fmt(1, 1, 8000, 16)));
    longer += "data";
    longer += std::string("\x10\x00\x00\x00", 4) + Pcm16({1, 2});
    test::WriteFileBytes(path, longer);
    LSoundSource s = LWaveFile::OpenSource(path);
    EXPECT_EQ(s->GetLength(), 2);
    EXPECT_EQ(ReadAll(s), (std::vector<int32_t>{16, 32}));

    // Four channels are the 4.0 layout, mixed down to stereo: each side takes its
    // front at 0.453, the centre at 0.320 and the back at 0.227.
    std::string four = Riff(Chunk("fmt ", Fmt(1, 4, 8000, 16)) + Chunk("data", Pcm16({1, 2, 3, 4, 5, 6, 7, 8})));
    test::WriteFileBytes(path, four);
    s = LWaveFile::OpenSource(path);
    EXPECT_EQ(s->GetChannels(), 2);
    EXPECT_EQ(ReadAll(s), (std::vector<int32_t>{37, 44, 101, 108}));
}

TEST(Wave, ReadsAroundTheEdgesAsSilence)
{
    std::vector<int16_t> samples(1000);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = int16_t(i * 7 - 3000);
    std::string body(reinterpret_cast<char*>(samples.data()), samples.size() * 2);
    std::string path = TempPath("edges.wav");
    test::WriteFileBytes(path, Riff(Chunk("fmt ", Fmt(1, 1, 8000, 16)) + Chunk("data", body)));
    LSoundSource s = LWaveFile::OpenSource(path);
    s->Seek(-100);
    std::vector<int32_t> block(200);
    s->Read(block.data(), 200);
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(block[size_t(i)], 0);
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(block[size_t(100 + i)], samples[size_t(i)] * 16);
    EXPECT_EQ(s->GetPosition(), 100);
    s->Seek(990);
    s->Read(block.data(), 20);
    EXPECT_EQ(block[9], samples[999] * 16);
    EXPECT_EQ(block[10], 0);
    EXPECT_EQ(s->GetPosition(), 1010);
    s->Seek(-5000);
    s->Read(block.data(), 200);
    EXPECT_EQ(std::count(block.begin(), block.end(), 0), 200);
}

TEST(Wave, WritesWhatSoxReadsSampleExact)
{
    std::mt19937 rng(11);
    std::uniform_int_distribution<int32_t> d(-0x80000, 0x7FFF0);
    for (uint8_t channels : {1, 2}) {
        for (int32_t bits : {8, 16}) {
            std::vector<int32_t> values(size_t(20000) * channels);
            for (int32_t& v : values)
                v = d(rng);
            std::string path = TempPath("ours-" + std::to_string(bits) + "-" + std::to_string(channels) + ".wav");
            {
                LSoundSink sink = LWaveFile::OpenSinkPCM(path, 32000, 0, bits, channels);
                ASSERT_FALSE(sink->IsError());
                for (size_t i = 0; i < values.size(); i += size_t(8192) * channels)
                    sink->Write(values.data() + i, int32_t(std::min<size_t>(8192, (values.size() - i) / channels)));
            }
            std::vector<int32_t> sox = SoxDecode(path);
            std::vector<int32_t> ours = ReadAll(LWaveFile::OpenSource(path));
            ASSERT_EQ(sox.size(), values.size());
            EXPECT_EQ(ours, sox);
            // Nearest value; 8-bit tops out at byte 255 = 127 * 4096.
            int32_t step = bits == 8 ? 4096 : 16;
            int32_t top = bits == 8 ? 127 * 4096 : 0x7FFF0;
            for (size_t i = 0; i < values.size(); ++i)
                ASSERT_LE(std::abs(sox[i] - std::min(values[i], top)), step / 2) << i;
        }
    }
}

TEST(Wave, WriterHeaderAndCutting)
{
    std::string path = TempPath("w.wav");
    {
        LSoundSink empty = LWaveFile::OpenSinkPCM(path, 8000, 0, 16, 1);
    }
    std::string bytes = test::ReadFileBytes(path);
    ASSERT_EQ(bytes.size(), 46u);
    auto* b = reinterpret_cast<const uint8_t*>(bytes.data());
    EXPECT_EQ(GetLE32(b + 4), 38u);
    EXPECT_EQ(GetLE32(b + 42), 0u);
    EXPECT_EQ(GetLE32(b + 16), 18u);

    int32_t values[] = {0, -0x80000, 0x7FFF0, 16};
    {
        LSoundSink s8 = LWaveFile::OpenSinkPCM(path, 8000, 0, 8, 1);
        s8->Write(values, 4);
    }
    bytes = test::ReadFileBytes(path);
    EXPECT_EQ(uint8_t(bytes[46]), 128);
    EXPECT_EQ(uint8_t(bytes[47]), 0);
    EXPECT_EQ(uint8_t(bytes[48]), 255);

    {
        LSoundSink s16 = LWaveFile::OpenSinkPCM(path, 8000, 0, 16, 1);
        s16->Write(values, 4);
        s16->Seek(10);
        EXPECT_EQ(s16->GetPosition(), 4u) << "seeking forward does nothing";
        s16->Seek(2);
        EXPECT_EQ(s16->GetPosition(), 2u);
        s16->Write(values + 3, 1);
    }
    EXPECT_EQ(ReadAll(LWaveFile::OpenSource(path)), (std::vector<int32_t>{0, -0x80000, 16}));

    // The recorder appends: a start frame keeps what the file holds, never more than it has.
    {
        LSoundSink more = LWaveFile::OpenSinkPCM(path, 8000, 2, 16, 1);
        EXPECT_EQ(more->GetPosition(), 2u);
        more->Write(values + 2, 1);
    }
    EXPECT_EQ(ReadAll(LWaveFile::OpenSource(path)), (std::vector<int32_t>{0, -0x80000, 0x7FFF0}));
    {
        LSoundSink beyond = LWaveFile::OpenSinkPCM(path, 8000, 1000, 16, 1);
        EXPECT_EQ(beyond->GetPosition(), 3u);
    }
    EXPECT_EQ(LWaveFile::OpenSource(path)->GetLength(), 3);

    EXPECT_FALSE(LWaveFile::OpenSinkPCM(path, 8000, 0, 24, 1));
    EXPECT_FALSE(LWaveFile::OpenSink(path, LWaveFileFormat::Pcm(8000, 1, 24)));
    EXPECT_TRUE(LWaveFile::OpenSinkPCM(TempPath("no/such/dir/x.wav"), 8000, 0, 16, 1)->IsError());
}

TEST(Wave, AnInterruptedWriterLeavesAFileThatOpens)
{
    std::string path = TempPath("live.wav");
    std::string copy = TempPath("copy.wav");
    std::vector<int32_t> values = test::Sine(5000, 8000, 440, 200000, 2);
    LSoundSink sink = LWaveFile::OpenSinkPCM(path, 8000, 0, 16, 2);
    sink->Write(values.data(), 5000);
    test::WriteFileBytes(copy, test::ReadFileBytes(path));
    std::string bytes = test::ReadFileBytes(copy);
    EXPECT_EQ(GetLE32(reinterpret_cast<const uint8_t*>(bytes.data()) + 42), 0xFFFFFFFFu);
    LSoundSource s = LWaveFile::OpenSource(copy);
    ASSERT_EQ(s->GetError(), kSrcGood);
    EXPECT_EQ(s->GetLength(), 5000);
    std::vector<int32_t> back = ReadAll(s);
    for (size_t i = 0; i < back.size(); ++i)
        ASSERT_LE(std::abs(back[i] - values[i]), 8);
}

TEST(Wave, DamagedFilesNeverCrashOrHang)
{
    std::string good = Riff(Chunk("fmt ", Fmt(1, 2, 22050, 16)) + Chunk("LIST", "INFOabcd") +
                            Chunk("data", Pcm16({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12})));
    std::string path = TempPath("damaged.wav");
    std::vector<int32_t> buffer(2 * 4096);
    auto exercise = [&](const std::string& bytes) {
        test::WriteFileBytes(path, bytes);
        LSoundSource s = LWaveFile::OpenSource(path);
        if (s->GetError() != kSrcGood)
            return;
        ASSERT_LE(s->GetChannels(), 2);
        // Damaged sizes may claim gigabytes: read a bounded stretch at a few places.
        for (int32_t at : {-10, 0, s->GetLength() / 2, s->GetLength() - 3, s->GetLength() + 5}) {
            s->Seek(at);
            s->Read(buffer.data(), 4096);
        }
    };
    for (size_t cut = 0; cut <= good.size(); ++cut)
        exercise(good.substr(0, cut));
    std::mt19937 rng(1);
    for (int i = 0; i < 3000; ++i) {
        std::string bytes = good;
        int flips = 1 + int(rng() % 4);
        for (int f = 0; f < flips; ++f)
            bytes[rng() % bytes.size()] = char(rng());
        exercise(bytes);
    }
}

// PCM wider than 16 bits keeps the stream's 20 bits through a save and a read,
// in every width the format chooser offers, whose blocks a batch run uses too;
// the loudest 24-bit samples read as the stream's full scale, so that a copy
// does not take them for an overload.
TEST(Wave, WidePcmCarriesTwentyBits)
{
    const std::vector<int32_t> values = {0, 1, -1, 0x7FFF0, -0x80000, 0x12345, -0x54321, 7};
    for (auto [tag, bits] : {std::pair<uint16_t, uint16_t>{LWaveFileFormat::kTagPcm, 24}, {LWaveFileFormat::kTagPcm, 32},
                             {LWaveFileFormat::kTagFloat, 32}, {LWaveFileFormat::kTagFloat, 64}}) {
        LWaveFileFormat format;
        for (const LAcmFormat& f : LAcmFormats::List(8000, 2))
            if (f.format.Coding() == tag && f.format.BitsPerSample() == bits)
                format = f.format;
        ASSERT_EQ(format.BitsPerSample(), bits) << "the chooser offers " << tag << "/" << bits;
        const auto same = LWaveSaveFormat::SameWideCoding(format, 8000, 2);
        ASSERT_TRUE(same);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(same->Data()), size_t(same->UsedBytes())),
                  std::string(reinterpret_cast<const char*>(format.Data()), size_t(format.UsedBytes())))
            << "a batch run keeps the width in the chooser's own block";
        const std::string path = TempPath("wide.wav");
        {
            LSoundSink sink = LWaveFile::OpenSink(path, format);
            ASSERT_TRUE(sink && !sink->IsError());
            sink->Write(values.data(), int32_t(values.size() / 2));
        }
        EXPECT_EQ(ReadAll(LWaveFile::OpenSource(path)), values) << tag << "/" << bits;
    }

    // A 24-bit file at both ends of its range, as other programs write it.
    const std::string data = Chunk("data", std::string("\xFF\xFF\x7F\x00\x00\x80\x08\x00\x00", 9));
    const std::string path = TempPath("ends.wav");
    test::WriteFileBytes(path, Riff(Chunk("fmt ", Fmt(1, 1, 8000, 24)) + data));
    EXPECT_EQ(ReadAll(LWaveFile::OpenSource(path)), (std::vector<int32_t>{0x7FFF0, -0x80000, 1}));
}
