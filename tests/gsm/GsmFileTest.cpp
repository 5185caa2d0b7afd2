// Kelvane's GSM 06.10 ends and the .gsm reader and writer, against libgsm.
#include <gtest/gtest.h>

#include <gsm.h>

#include <cstring>
#include <memory>

#include "formats/FormatTestUtil.h"
#include "formats/SpeechSignal.h"
#include "formats/gsm/LGSMFile.h"
#include "formats/gsm/LGSMFrame.h"

using test::TempPath;

namespace {

struct GsmDeleter {
    void operator()(gsm_state* g) const { gsm_destroy(g); }
};
using GsmHandle = std::unique_ptr<gsm_state, GsmDeleter>;

std::vector<int32_t> Stream(const std::vector<int16_t>& pcm)
{
    std::vector<int32_t> v(pcm.begin(), pcm.end());
    for (auto& x : v)
        x *= 16;
    return v;
}

// libgsm's decoding of a whole .gsm file, on the stream scale.
std::vector<int32_t> LibgsmDecodeFile(const std::string& path)
{
    std::string bytes = test::ReadFileBytes(path);
    GsmHandle g(gsm_create());
    std::vector<int32_t> out;
    for (size_t f = 0; f + 33 <= bytes.size(); f += 33) {
        gsm_byte frame[33];
        std::memcpy(frame, bytes.data() + f, 33);
        gsm_signal pcm[160];
        EXPECT_EQ(0, gsm_decode(g.get(), frame, pcm));
        for (gsm_signal s : pcm)
            out.push_back(int32_t(s) * 16);
    }
    return out;
}

std::vector<int32_t> ReadN(LSoundSource& src, int32_t n)
{
    std::vector<int32_t> v(size_t(n), -7);
    src->Read(v.data(), n);
    return v;
}

TEST(GsmFrame, InputAndOutputFiltersByHand)
{
    LGSMFrame f;
    // Offset removal keeps 16000 at first, pre-emphasis then subtracts 880/1024
    // of the previous value: 16016 >> 5 = 500, then (15984 + 16 - 13750) >> 5 = 70.
    EXPECT_EQ(f.Preprocess(16000), 500);
    EXPECT_EQ(f.Preprocess(16000), 70);
    // Extreme steps saturate instead of wrapping to the other sign.
    LGSMFrame g;
    for (int32_t i = 0; i < 20000; ++i)
        g.Preprocess(-0x80000);
    EXPECT_EQ(g.Preprocess(0x7FFF0), 32767);

    // De-emphasis at 32 times the synthesis scale: 1 gives 32, then 32 * 880 / 1024.
    LGSMFrame h;
    EXPECT_EQ(h.Postprocess(1), 32);
    EXPECT_EQ(h.Postprocess(0), 28);
    EXPECT_EQ(h.Postprocess(0), 24);
    // The largest possible output (about 14 times full scale) cannot overflow the filter.
    for (int32_t i = 0; i < 500; ++i)
        h.Postprocess(32767);
    EXPECT_GT(h.Postprocess(32767), 7000000);
}

TEST(GsmFile, InteroperatesWithLibgsm)
{
    std::vector<int16_t> speech = test::SpeechLike(8000 * 20, 17);
    std::vector<int32_t> in = Stream(speech);
    std::string ours = TempPath("ours.gsm");
    {
        LSoundSink sink = LGSMFile::OpenSink(ours);
        ASSERT_FALSE(sink->IsError());
        EXPECT_EQ(sink->GetSampleRate(), 8000);
        test::WriteInPieces(sink, in, {8192, 1, 159, 161});
    }
    EXPECT_EQ(test::ReadFileBytes(ours).size(), in.size() / 160 * 33);

    // Our file through our decoder and through libgsm's.
    std::vector<int32_t> back = test::ReadAll(LGSMFile::OpenSource(ours));
    std::vector<int32_t> theirs = LibgsmDecodeFile(ours);
    ASSERT_EQ(back.size(), in.size());
    double snrOurs = test::SnrDb(in, back);
    double snrLibgsm = test::SnrDb(in, theirs);

    // A file libgsm codes from the same speech, through our decoder.
    std::string ref = TempPath("libgsm.gsm");
    {
        GsmHandle g(gsm_create());
        std::string bytes;
        for (size_t f = 0; f + 160 <= speech.size(); f += 160) {
            gsm_signal block[160];
            std::memcpy(block, speech.data() + f, sizeof block);
            gsm_byte frame[33];
            gsm_encode(g.get(), block, frame);
            bytes.append(reinterpret_cast<char*>(frame), 33);
        }
        test::WriteFileBytes(ref, bytes);
    }
    std::vector<int32_t> refOurs = test::ReadAll(LGSMFile::OpenSource(ref));
    std::vector<int32_t> refTheirs = LibgsmDecodeFile(ref);
    double snrRef = test::SnrDb(in, refOurs);
    // Our output filter against libgsm's on the same frames: the same speech up to
    // the slightly different de-emphasis and libgsm's 13-bit truncation.
    double agreement = test::SnrDb(refTheirs, refOurs);
    std::printf("GSM SNR on speech-like input: ours->ours %.2f dB, ours->libgsm %.2f dB, libgsm->ours %.2f dB, "
                "decoders agree to %.2f dB\n",
                snrOurs, snrLibgsm, snrRef, agreement);
    EXPECT_GT(snrOurs, 8.0);
    EXPECT_GT(snrLibgsm, 8.0);
    EXPECT_GT(snrRef, 8.0);
    EXPECT_GT(agreement, 25.0);
}

TEST(GsmFile, WriterPadsTheLastBlock)
{
    std::string path = TempPath("len.gsm");
    std::vector<int32_t> v = Stream(test::SpeechLike(161, 2));
    {
        LSoundSink s = LGSMFile::OpenSink(path);
        s->Write(v.data(), 161);
        EXPECT_EQ(s->GetPosition(), 161u);
    }
    EXPECT_EQ(test::ReadFileBytes(path).size(), 66u);
    EXPECT_EQ(LGSMFile::OpenSource(path)->GetLength(), 320);
    LGSMFile::OpenSink(path).Reset();
    EXPECT_EQ(test::ReadFileBytes(path).size(), 0u);
    EXPECT_EQ(LGSMFile::OpenSource(TempPath("none.gsm"))->GetError(), kSrcCannotOpen);
    EXPECT_TRUE(LGSMFile::OpenSink(TempPath("no/dir.gsm"))->IsError());
}

TEST(GsmFile, ReadingSeekingAndSignatures)
{
    std::string path = TempPath("seek.gsm");
    {
        LSoundSink s = LGSMFile::OpenSink(path);
        std::vector<int32_t> v = Stream(test::SpeechLike(160 * 50, 8));
        s->Write(v.data(), int32_t(v.size()));
    }
    std::string bytes = test::ReadFileBytes(path);
    LSoundSource src = LGSMFile::OpenSource(path);
    EXPECT_EQ(src->GetMaxAmplitude(), 0xFFFE0u);
    std::vector<int32_t> whole = test::ReadAll(src);
    ASSERT_EQ(whole.size(), 8000u);
    EXPECT_EQ(test::ReadInPieces(LGSMFile::OpenSource(path), {7, 160, 1, 333, 1000}), whole);

    // A seek decodes from a cleared state: reading 160 from 480 is the fourth block
    // decoded by a fresh decoder, and a seek into a block gives its tail.
    LGSMFrame fresh;
    int32_t fourth[160];
    fresh.DecodeNormal(reinterpret_cast<const uint8_t*>(bytes.data()) + 3 * 33, fourth);
    src->Seek(480);
    EXPECT_EQ(ReadN(src, 160), std::vector<int32_t>(fourth, fourth + 160));
    src->Seek(500);
    EXPECT_EQ(ReadN(src, 140), std::vector<int32_t>(fourth + 20, fourth + 160));
    src->Seek(0);
    EXPECT_EQ(test::ReadAll(src), whole);

    // Before the start and past the end: silence around the decoded audio.
    src->Seek(-100);
    std::vector<int32_t> lead = ReadN(src, 260);
    EXPECT_EQ(std::vector<int32_t>(lead.begin(), lead.begin() + 100), std::vector<int32_t>(100, 0));
    EXPECT_EQ(std::vector<int32_t>(lead.begin() + 100, lead.end()), std::vector<int32_t>(whole.begin(), whole.begin() + 160));
    src->Seek(7990);
    std::vector<int32_t> end = ReadN(src, 30);
    EXPECT_EQ(std::vector<int32_t>(end.begin() + 10, end.end()), std::vector<int32_t>(20, 0));
    EXPECT_EQ(src->GetPosition(), 8020);
    src->Seek(9000);
    EXPECT_EQ(ReadN(src, 5), std::vector<int32_t>(5, 0));

    // The signature nibble is ignored.
    for (size_t f = 0; f < bytes.size(); f += 33)
        bytes[f] = char(uint8_t(bytes[f]) & 0x0F);
    test::WriteFileBytes(path, bytes);
    EXPECT_EQ(test::ReadAll(LGSMFile::OpenSource(path)), whole);
}

// Every prefix of a file opens with the whole blocks it holds (33 and 65 bytes
// are both one block); damage never crashes.
TEST(GsmFile, DamagedFilesNeverCrash)
{
    std::string path = TempPath("damaged.gsm");
    {
        LSoundSink s = LGSMFile::OpenSink(path);
        std::vector<int32_t> v = Stream(test::SpeechLike(160 * 4, 9));
        s->Write(v.data(), int32_t(v.size()));
    }
    std::string good = test::ReadFileBytes(path);
    std::string cut = TempPath("cut.gsm");
    for (size_t n = 0; n <= good.size(); ++n) {
        test::WriteFileBytes(cut, good.substr(0, n));
        LSoundSource s = LGSMFile::OpenSource(cut);
        ASSERT_EQ(s->GetError(), kSrcGood);
        EXPECT_EQ(s->GetLength(), int32_t(n / 33 * 160));
        EXPECT_EQ(test::ReadAll(s, 100).size(), n / 33 * 160);
    }
    // A file cut short after it was opened reads as silence where blocks went missing.
    LSoundSource open = LGSMFile::OpenSource(path);
    test::WriteFileBytes(path, good.substr(0, 33));
    std::vector<int32_t> rest = test::ReadAll(open);
    EXPECT_EQ(std::vector<int32_t>(rest.begin() + 160, rest.end()), std::vector<int32_t>(rest.size() - 160, 0));
}

} // namespace
