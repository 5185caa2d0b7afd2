// AU and AIFF readers and writers, checked against sox in both directions.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "core/ByteOrder.h"
#include "core/LSRCNull.h"
#include "formats/FormatTestUtil.h"
#include "formats/LAifFile.h"
#include "formats/LAuFile.h"

using test::ReadInPieces;
using test::SoxDecode;
using test::SoxMake;
using test::TempPath;

namespace {

const char* kSynth = "synth 0.6 sine 300-3000 whitenoise gain -4";
const char* kSynthStereo = "synth 0.6 sine 300-3000 whitenoise gain -4 remix 1 1v0.5";

// Every way of reading must give sox's samples: in one go, in uneven pieces, and
// after a seek into the middle.
void ExpectReadsLikeSox(const std::string& path, LSoundSource (*open)(const std::string&), int32_t rate,
                        uint8_t channels)
{
    SCOPED_TRACE(path);
    std::vector<int32_t> want = SoxDecode(path);
    ASSERT_FALSE(want.empty());
    LSoundSource src = open(path);
    ASSERT_EQ(src->GetError(), kSrcGood);
    EXPECT_EQ(src->GetSampleRate(), rate);
    EXPECT_EQ(src->GetChannels(), channels);
    EXPECT_EQ(size_t(src->GetLength()) * channels, want.size());
    EXPECT_EQ(test::ReadAll(src), want);
    src->Seek(0);
    EXPECT_EQ(ReadInPieces(src, {1, 1000, 333, 8192}), want);
    int32_t mid = src->GetLength() / 3;
    src->Seek(mid);
    std::vector<int32_t> tail(want.begin() + long(mid) * channels, want.end());
    EXPECT_EQ(test::ReadAll(src, 777), tail);
}

// Inserts chunks right after the 12-byte FORM header and fixes the FORM size.
void InsertChunksAfterForm(const std::string& path, const std::string& chunks)
{
    std::string bytes = test::ReadFileBytes(path);
    bytes.insert(12, chunks);
    PutBE32(reinterpret_cast<uint8_t*>(bytes.data()) + 4, uint32_t(bytes.size() - 8));
    test::WriteFileBytes(path, bytes);
}

std::string Chunk(const char* id, const std::string& body)
{
    std::string c(id, 4);
    uint8_t size[4];
    PutBE32(size, uint32_t(body.size()));
    c.append(reinterpret_cast<const char*>(size), 4);
    c += body;
    if (body.size() % 2)
        c += '\0';
    return c;
}

TEST(AuFile, ReadsWhatSoxWritesInEveryEncoding)
{
    ExpectReadsLikeSox(SoxMake("ulaw-8000-1.au", "-r 8000 -c 1 -e mu-law", kSynth), LAuFile::OpenSource, 8000, 1);
    ExpectReadsLikeSox(SoxMake("alaw-8000-2.au", "-r 8000 -c 2 -e a-law", kSynthStereo), LAuFile::OpenSource, 8000,
                       2);
    ExpectReadsLikeSox(SoxMake("s8-11025-1.au", "-r 11025 -c 1 -e signed -b 8", kSynth), LAuFile::OpenSource, 11025,
                       1);
    ExpectReadsLikeSox(SoxMake("s16-44100-2.au", "-r 44100 -c 2 -e signed -b 16", kSynthStereo), LAuFile::OpenSource,
                       44100, 2);
}

TEST(AuFile, HeaderVariants)
{
    // A 32-byte header: the eight annotation bytes must not be read as samples.
    std::string path = SoxMake("annotated.au", "-r 8000 -c 1 -e signed -b 16", kSynth);
    std::vector<int32_t> want = SoxDecode(path);
    std::string bytes = test::ReadFileBytes(path);
    uint32_t offset = GetBE32(reinterpret_cast<const uint8_t*>(bytes.data()) + 4);
    std::string audio = bytes.substr(offset);
    std::string header = bytes.substr(0, 24);
    PutBE32(reinterpret_cast<uint8_t*>(header.data()) + 4, 32);
    test::WriteFileBytes(path, header + std::string(8, '\x7f') + audio);
    EXPECT_EQ(test::ReadAll(LAuFile::OpenSource(path)), want);

    // No data size: the length is what the file holds after the header, and it
    // follows the file when it grows.
    PutBE32(reinterpret_cast<uint8_t*>(header.data()) + 4, 24);
    PutBE32(reinterpret_cast<uint8_t*>(header.data()) + 8, 0xFFFFFFFF);
    test::WriteFileBytes(path, header + audio + "x");
    LSoundSource open = LAuFile::OpenSource(path);
    EXPECT_EQ(open->GetLength(), int32_t(audio.size() / 2));
    EXPECT_EQ(test::ReadAll(open), want);

    // A declared size beyond the file is cut to what the file holds.
    PutBE32(reinterpret_cast<uint8_t*>(header.data()) + 8, uint32_t(audio.size() + 200));
    test::WriteFileBytes(path, header + audio);
    EXPECT_EQ(test::ReadAll(LAuFile::OpenSource(path)), want);

    // 32-bit linear is an encoding we do not read; no channels is damage.
    PutBE32(reinterpret_cast<uint8_t*>(header.data()) + 12, 5);
    test::WriteFileBytes(path, header + audio);
    EXPECT_EQ(LAuFile::OpenSource(path)->GetError(), kSrcNoCodec);
    PutBE32(reinterpret_cast<uint8_t*>(header.data()) + 12, 3);
    PutBE32(reinterpret_cast<uint8_t*>(header.data()) + 20, 0);
    test::WriteFileBytes(path, header + audio);
    EXPECT_EQ(LAuFile::OpenSource(path)->GetError(), kSrcInvalid);
}

TEST(AifFile, ReadsWhatSoxWritesWithChunksBeforeComm)
{
    std::string p8 = SoxMake("s8-22050-2.aiff", "-r 22050 -c 2 -e signed -b 8", kSynthStereo);
    std::string p16 = SoxMake("s16-44100-1.aiff", "-r 44100 -c 1 -e signed -b 16", kSynth);
    ExpectReadsLikeSox(p8, LAifFile::OpenSource, 22050, 2);
    ExpectReadsLikeSox(p16, LAifFile::OpenSource, 44100, 1);
    // Odd-sized chunks (with their pad bytes) ahead of COMM are skipped.
    InsertChunksAfterForm(p8, Chunk("NAME", "odd") + Chunk("ANNO", "seven b"));
    InsertChunksAfterForm(p16, Chunk("AUTH", "x"));
    ExpectReadsLikeSox(p8, LAifFile::OpenSource, 22050, 2);
    ExpectReadsLikeSox(p16, LAifFile::OpenSource, 44100, 1);
}

TEST(AifFile, RefusesWhatItCannotRead)
{
    std::string path = SoxMake("refuse.aiff", "-r 8000 -c 1 -e signed -b 16", kSynth);
    std::string good = test::ReadFileBytes(path);

    std::string aifc = good;
    std::memcpy(aifc.data() + 8, "AIFC", 4);
    test::WriteFileBytes(path, aifc);
    EXPECT_EQ(LAifFile::OpenSource(path)->GetError(), kSrcInvalid);

    // 24-bit samples: COMM's sample size follows channels (2) and frames (4).
    std::string wide = good;
    size_t comm = wide.find("COMM");
    ASSERT_NE(comm, std::string::npos);
    PutBE16(reinterpret_cast<uint8_t*>(wide.data()) + comm + 8 + 6, 24);
    test::WriteFileBytes(path, wide);
    EXPECT_EQ(LAifFile::OpenSource(path)->GetError(), kSrcNoCodec);
}

TEST(AifFile, ExtendedRateBytes)
{
    struct Case {
        uint32_t rate;
        uint8_t bytes[4];
    } cases[] = {{44100, {0x40, 0x0E, 0xAC, 0x44}}, {22050, {0x40, 0x0D, 0xAC, 0x44}}, {8000, {0x40, 0x0B, 0xFA, 0x00}}};
    for (const Case& c : cases) {
        uint8_t out[10];
        LAifFile::WriteExtendedRate(out, c.rate);
        EXPECT_EQ(0, std::memcmp(out, c.bytes, 4)) << c.rate;
        for (int32_t i = 4; i < 10; ++i)
            EXPECT_EQ(out[i], 0) << c.rate;
    }
    for (uint32_t rate = 2; rate < 400000; rate += 997) {
        uint8_t out[10];
        LAifFile::WriteExtendedRate(out, rate);
        ASSERT_EQ(LAifFile::ReadExtendedRate(out), int32_t(rate));
    }
    // 8000.5 Hz rounds up; an exponent beyond any 31-bit rate reads as 0 (refused).
    uint8_t half[10] = {0x40, 0x0B, 0xFA, 0x04, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(LAifFile::ReadExtendedRate(half), 8001);
    half[1] = 0x40;
    EXPECT_EQ(LAifFile::ReadExtendedRate(half), 0);
}

// The writers: sox reads back exactly what was written, and the headers say what
// they should both before and after the sink is released.
TEST(AuAiffWriters, SoxReadsOurFilesSampleExact)
{
    struct Case {
        const char* name;
        LSoundSink (*open)(const std::string&, int32_t, uint8_t);
        LSoundSource (*reopen)(const std::string&);
    } cases[] = {{"ours.au", LAuFile::OpenSink, LAuFile::OpenSource}, {"ours.aiff", LAifFile::OpenSink, LAifFile::OpenSource}};
    for (const Case& c : cases) {
        for (uint8_t channels : {uint8_t(1), uint8_t(2)}) {
            SCOPED_TRACE(std::string(c.name) + " channels " + std::to_string(channels));
            std::string path = TempPath(c.name);
            std::vector<int32_t> values = test::TestSignal(30011, channels);
            {
                LSoundSink sink = c.open(path, 22050, channels);
                ASSERT_FALSE(sink->IsError());
                test::WriteInPieces(sink, values, {8192, 1, 4001});
            }
            EXPECT_EQ(SoxDecode(path), values);
            LSoundSource back = c.reopen(path);
            EXPECT_EQ(back->GetSampleRate(), 22050);
            EXPECT_EQ(back->GetChannels(), channels);
            EXPECT_EQ(test::ReadAll(back), values);
        }
    }
}

TEST(AuAiffWriters, HeadersWhileWritingAndWhenDone)
{
    std::string aiff = TempPath("1000.aiff");
    std::string au = TempPath("1000.au");
    std::vector<int32_t> values = test::TestSignal(1000, 2);
    LSoundSink a = LAifFile::OpenSink(aiff, 44100, 2);
    LSoundSink u = LAuFile::OpenSink(au, 44100, 2);
    a->Write(values.data(), 1000);
    u->Write(values.data(), 1000);

    // Unfinished: the size fields say so, and the files still open with what they hold.
    std::string h = test::ReadFileBytes(aiff);
    const auto* b = reinterpret_cast<const uint8_t*>(h.data());
    EXPECT_EQ(GetBE32(b + 42), 0xFFFFFFFFu);
    EXPECT_EQ(test::ReadAll(LAifFile::OpenSource(aiff)), values);
    EXPECT_EQ(GetBE32(reinterpret_cast<const uint8_t*>(test::ReadFileBytes(au).data()) + 8), 0xFFFFFFFFu);
    EXPECT_EQ(test::ReadAll(LAuFile::OpenSource(au)), values);

    // Cutting back, then finishing.
    a->Seek(900);
    u->Seek(900);
    a.Reset();
    u.Reset();
    values.resize(900 * 2);
    h = test::ReadFileBytes(aiff);
    b = reinterpret_cast<const uint8_t*>(h.data());
    ASSERT_EQ(h.size(), 54u + 3600u);
    EXPECT_EQ(GetBE32(b + 4), 46u + 3600u);
    EXPECT_EQ(GetBE16(b + 20), 2);
    EXPECT_EQ(GetBE32(b + 22), 900u);
    EXPECT_EQ(GetBE16(b + 26), 16);
    EXPECT_EQ(GetBE32(b + 42), 3608u);
    EXPECT_EQ(test::ReadAll(LAifFile::OpenSource(aiff)), values);
    std::string hu = test::ReadFileBytes(au);
    const auto* bu = reinterpret_cast<const uint8_t*>(hu.data());
    ASSERT_EQ(hu.size(), 24u + 3600u);
    EXPECT_EQ(GetBE32(bu + 4), 24u);
    EXPECT_EQ(GetBE32(bu + 8), 3600u);
    EXPECT_EQ(GetBE32(bu + 12), 3u);
    EXPECT_EQ(GetBE32(bu + 16), 44100u);
    EXPECT_EQ(GetBE32(bu + 20), 2u);

    EXPECT_TRUE(LAuFile::OpenSink(TempPath("no/such/folder.au"), 8000, 1)->IsError());
}

// Damaged input never crashes: every prefix of a valid file opens cleanly, either
// in an error state or as a source that reads to its length.
TEST(AuAiffRobustness, EmptyGarbageAndEveryTruncation)
{
    struct Case {
        std::string path;
        LSoundSource (*open)(const std::string&);
    } cases[] = {{SoxMake("trunc.au", "-r 8000 -c 2 -e mu-law", "synth 0.02 sine 440"), LAuFile::OpenSource},
                 {SoxMake("trunc.aiff", "-r 8000 -c 2 -e signed -b 16", "synth 0.02 sine 440"), LAifFile::OpenSource}};
    for (const Case& c : cases) {
        std::string good = test::ReadFileBytes(c.path);
        std::string cut = c.path + ".cut";
        for (size_t n = 0; n <= good.size(); ++n) {
            test::WriteFileBytes(cut, good.substr(0, n));
            LSoundSource s = c.open(cut);
            if (n < 12) {
                EXPECT_NE(s->GetError(), kSrcGood) << n;
            }
            if (s->GetError() == kSrcGood) {
                std::vector<int32_t> all = test::ReadAll(s);
                EXPECT_EQ(all.size(), size_t(s->GetLength()) * s->GetChannels());
            }
        }
        test::WriteFileBytes(cut, std::string(4000, '\xA5'));
        EXPECT_EQ(c.open(cut)->GetError(), kSrcInvalid);
        EXPECT_EQ(c.open(TempPath("missing"))->GetError(), kSrcCannotOpen);
    }
}

} // namespace
