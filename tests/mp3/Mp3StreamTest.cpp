// Stream behaviour of LMP3Source: where decoding starts and ends, lengths,
// seeking, and files that are damaged or not MP3 at all.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "Mp3TestSupport.h"
#include "core/LSoundSource.h"
#include "formats/mp3/LMP3Source.h"
#include "support/TestSupport.h"

namespace {

// A short file of a kind, made once per test process.
std::string MakeMp3(const std::string& name, const std::string& lame, int32_t rate = 44100, double seconds = 3.0)
{
    std::string wav = mp3test::MakeWav(name + ".wav", rate, 2, seconds);
    std::string mp3 = mp3test::Encode(wav, name + ".mp3", lame);
    EXPECT_FALSE(mp3.empty());
    return mp3;
}

std::vector<int32_t> Slice(const std::vector<int32_t>& v, int64_t firstFrame, int64_t frames, int32_t ch)
{
    std::vector<int32_t> out(size_t(frames * ch), 0);
    for (int64_t f = 0; f < frames; ++f)
        for (int32_t c = 0; c < ch; ++c) {
            int64_t src = (firstFrame + f) * ch + c;
            if (firstFrame + f >= 0 && src < int64_t(v.size()))
                out[size_t(f * ch + c)] = v[size_t(src)];
        }
    return out;
}

TEST(Mp3Stream, LeadingJunkWithinTheSearchLimitOpensBeyondItFails)
{
    std::string mp3 = MakeMp3("junk", "-t -b 128");  // -t: no information frame
    std::string bytes = test::ReadFileBytes(mp3);
    std::vector<int32_t> plain = mp3test::DecodeOurs(mp3).samples;

    test::WriteFileBytes(test::TempPath("zeros40k.mp3"), std::string(40 * 1024, '\0') + bytes);
    mp3test::Decoded d40 = mp3test::DecodeOurs(test::TempPath("zeros40k.mp3"));
    ASSERT_TRUE(d40.ok);
    EXPECT_EQ(d40.samples, plain);

    test::WriteFileBytes(test::TempPath("zeros70k.mp3"), std::string(70 * 1024, '\0') + bytes);
    EXPECT_EQ(LMP3Source::Open(test::TempPath("zeros70k.mp3"))->GetError(), kSrcInvalid);

    // A 100 KB ID3v2 tag (cover art) is skipped whatever its size.
    std::string tag = "ID3";
    tag += char(3), tag += char(0), tag += char(0);
    const int32_t size = 100 * 1024;
    for (int32_t shift : {21, 14, 7, 0})
        tag += char((size >> shift) & 0x7F);
    tag += std::string(size, char(0xFF));  // worst case: sync-like bytes throughout
    test::WriteFileBytes(test::TempPath("id3.mp3"), tag + bytes);
    mp3test::Decoded tagged = mp3test::DecodeOurs(test::TempPath("id3.mp3"));
    ASSERT_TRUE(tagged.ok);
    EXPECT_EQ(tagged.samples, plain);
}

TEST(Mp3Stream, FilesThatAreNotMp3)
{
    EXPECT_EQ(LMP3Source::Open(test::TempPath("missing.mp3"))->GetError(), kSrcCannotOpen);
    test::WriteFileBytes(test::TempPath("empty.mp3"), "");
    EXPECT_EQ(LMP3Source::Open(test::TempPath("empty.mp3"))->GetError(), kSrcInvalid);
    std::mt19937 rng(7);
    std::string garbage(20000, '\0');
    for (char& c : garbage)
        c = char(rng() & 0x7F);  // no sync bytes
    test::WriteFileBytes(test::TempPath("garbage.mp3"), garbage);
    EXPECT_EQ(LMP3Source::Open(test::TempPath("garbage.mp3"))->GetError(), kSrcInvalid);
}

TEST(Mp3Stream, AHeaderThatNoFrameFollowsIsNotAStream)
{
    // Random bytes with one frame header (MPEG-1 at 48 kHz) planted in them: a
    // stream needs a second frame where the first one ends.
    std::mt19937 rng(3);
    std::string junk(20000, '\0');
    for (char& c : junk)
        c = char(rng());
    const std::string header("\xFF\xFB\x94\x64", 4);
    junk.replace(1000, 4, header);
    test::WriteFileBytes(test::TempPath("random.mp3"), junk);
    EXPECT_EQ(LMP3Source::Open(test::TempPath("random.mp3"))->GetError(), kSrcInvalid);

    // The same junk in front of a real stream is skipped, and the stream keeps its
    // own rate instead of the stray header's.
    std::string mp3 = MakeMp3("after_junk", "-t -b 128");
    test::WriteFileBytes(test::TempPath("junk_first.mp3"), junk.substr(0, 4000) + test::ReadFileBytes(mp3));
    mp3test::Decoded plain = mp3test::DecodeOurs(mp3);
    mp3test::Decoded junked = mp3test::DecodeOurs(test::TempPath("junk_first.mp3"));
    ASSERT_TRUE(junked.ok);
    EXPECT_EQ(junked.rate, 44100);
    EXPECT_EQ(junked.samples, plain.samples);
}

TEST(Mp3Stream, AnInformationFrameThatDisagreesWithTheFramesIsIgnored)
{
    const std::string cbr = test::ReadFileBytes(MakeMp3("liar_cbr", "-b 128"));
    for (const char* lame : {"-b 128", "-V 4"}) {
        std::string bytes = lame[1] == 'b' ? cbr : test::ReadFileBytes(MakeMp3("liar_vbr", lame));
        std::vector<size_t> frames = mp3test::FrameOffsets(bytes);
        const int64_t audioFrames = int64_t(frames.size()) - 1;
        size_t tag = bytes.find("Info");
        if (tag > frames[1])
            tag = bytes.find("Xing");
        ASSERT_LT(tag, frames[1]) << lame;
        // The frame count follows the name and the flags.
        for (uint32_t claim : {1u, 0x7FFFFFFFu, uint32_t(audioFrames / 2)}) {
            std::string liar = bytes;
            for (int32_t i = 0; i < 4; ++i)
                liar[tag + 8 + size_t(i)] = char(claim >> (24 - 8 * i));
            test::WriteFileBytes(test::TempPath("liar.mp3"), liar);
            LSoundSource src = LMP3Source::Open(test::TempPath("liar.mp3"));
            ASSERT_EQ(src->GetError(), kSrcGood);
            // Every frame there is, counted, with no trim: the tag's delay and
            // padding describe the stream it counted, not this one.
            EXPECT_EQ(src->GetLength(), audioFrames * 1152) << lame << " claiming " << claim;
            EXPECT_EQ(int64_t(test::ReadAll(src).size()), audioFrames * 1152 * 2) << lame << " claiming " << claim;
        }
    }
    // A file cut to 1000 bytes (the information frame and one and a half frames of
    // 417 bytes) keeps its tag's count of three seconds; its length at the open is
    // what decoding it gives, the one whole audio frame.
    test::WriteFileBytes(test::TempPath("cut1000.mp3"), cbr.substr(0, 1000));
    LSoundSource cut = LMP3Source::Open(test::TempPath("cut1000.mp3"));
    ASSERT_EQ(cut->GetError(), kSrcGood);
    EXPECT_EQ(cut->GetLength(), 1152);
    EXPECT_EQ(test::ReadAll(cut).size(), size_t(1152 * 2));
    EXPECT_EQ(cut->GetLength(), 1152);
}

TEST(Mp3Stream, InformationFrameGivesTheExactLengthAndTheEncodersTagItsTrim)
{
    // lame's information frame counts the audio frames after it and carries the
    // encoder's delay and padding: the signal comes back at the length it went in.
    for (const char* lame : {"-V 4", "-b 128"}) {
        std::string mp3 = MakeMp3("tagged", lame);
        std::string bytes = test::ReadFileBytes(mp3);
        std::vector<size_t> frames = mp3test::FrameOffsets(bytes);
        ASSERT_GT(frames.size(), 10u);
        LSoundSource src = LMP3Source::Open(mp3);
        EXPECT_EQ(src->GetLength(), 3 * 44100) << lame;
        std::vector<int32_t> trimmed = test::ReadAll(src);
        EXPECT_EQ(trimmed.size(), size_t(3 * 44100 * 2)) << lame;

        // Without the encoder's tag the stream is decoded whole, as the frame count
        // says; the signal sits 1105 frames in (lame's 576 and the decoder's 529).
        const size_t tag = bytes.find("LAME3.");
        ASSERT_LT(tag, frames[1]) << lame;
        bytes.replace(tag, 4, "XXXX");
        test::WriteFileBytes(test::TempPath("untagged.mp3"), bytes);
        LSoundSource whole = LMP3Source::Open(test::TempPath("untagged.mp3"));
        const int64_t audioFrames = int64_t(frames.size()) - 1;
        EXPECT_EQ(whole->GetLength(), audioFrames * 1152) << lame;
        std::vector<int32_t> all = test::ReadAll(whole);
        ASSERT_EQ(int64_t(all.size()), audioFrames * 1152 * 2) << lame;
        EXPECT_EQ(Slice(all, 1105, 3 * 44100, 2), trimmed) << lame;
    }
}

TEST(Mp3Stream, FramesOfAnotherSampleRateAreSkipped)
{
    std::string a = test::ReadFileBytes(MakeMp3("a44", "-t -b 128", 44100, 1.0));
    std::string b = test::ReadFileBytes(MakeMp3("b48", "-t -b 128", 48000, 1.0));
    std::vector<size_t> bf = mp3test::FrameOffsets(b);
    ASSERT_GT(bf.size(), 3u);
    // Three 48 kHz frames between two 44.1 kHz streams.
    std::string mixed = a + b.substr(0, bf[3]) + a;
    test::WriteFileBytes(test::TempPath("switch.mp3"), mixed);
    mp3test::Decoded one = mp3test::DecodeOurs(test::TempPath("a44.mp3"));
    mp3test::Decoded both = mp3test::DecodeOurs(test::TempPath("switch.mp3"));
    ASSERT_TRUE(both.ok);
    EXPECT_EQ(both.rate, 44100);
    ASSERT_EQ(both.samples.size(), 2 * one.samples.size());
    EXPECT_TRUE(std::equal(one.samples.begin(), one.samples.end(), both.samples.begin()));
}

TEST(Mp3Stream, TruncatedFileEndsCleanlyAtTheLengthCountedAtTheOpen)
{
    for (const char* lame : {"-V 2", "-b 128"}) {
        std::string mp3 = MakeMp3("trunc_src", lame);
        std::string bytes = test::ReadFileBytes(mp3);
        std::vector<int32_t> full = mp3test::DecodeOurs(mp3).samples;
        std::vector<size_t> frames = mp3test::FrameOffsets(bytes);
        // Cut in the middle of a frame about half way.
        const size_t cut = frames[frames.size() / 2] + 100;
        test::WriteFileBytes(test::TempPath("trunc.mp3"), bytes.substr(0, cut));
        LSoundSource src = LMP3Source::Open(test::TempPath("trunc.mp3"));
        ASSERT_EQ(src->GetError(), kSrcGood);
        const int32_t reported = src->GetLength();
        std::vector<int32_t> got = test::ReadAll(src);
        // The frames are counted at the open: the length then is the length at the end.
        EXPECT_EQ(src->GetLength(), reported) << lame;
        EXPECT_EQ(int64_t(got.size()), int64_t(reported) * 2) << lame;
        // The information frame counts frames the file no longer has, so it
        // describes another stream: the cut file is decoded whole, the encoder's
        // delay (576 + 529 frames) included.
        ASSERT_GT(got.size(), size_t(1105 * 2));
        got.erase(got.begin(), got.begin() + 1105 * 2);
        EXPECT_GT(got.size(), full.size() / 3);
        ASSERT_LE(got.size(), full.size());
        EXPECT_TRUE(std::equal(got.begin(), got.end(), full.begin())) << lame;
        // Past the end everything is silence and the position keeps counting.
        std::vector<int32_t> tail(2000, 1);
        src->Read(tail.data(), 1000);
        EXPECT_TRUE(std::all_of(tail.begin(), tail.end(), [](int32_t v) { return v == 0; }));
    }
}

TEST(Mp3Stream, SeeksAgreeWithStraightDecode)
{
    for (const char* lame : {"-t -b 128", "-V 3", "--resample 22.05 -b 48"}) {
        std::string mp3 = MakeMp3("seek", lame);
        mp3test::Decoded straight = mp3test::DecodeOurs(mp3);
        ASSERT_TRUE(straight.ok);
        const int64_t total = int64_t(straight.samples.size()) / 2;

        // Seeking to 0 equals a fresh open.
        LSoundSource src = LMP3Source::Open(mp3);
        std::vector<int32_t> first(4000);
        src->Read(first.data(), 2000);
        src->Seek(0);
        EXPECT_EQ(test::ReadAll(src), straight.samples) << lame;

        std::mt19937 rng(11);
        std::vector<int32_t> targets = {-700, 1, 1151, 1152, 4000, int32_t(total - 10), int32_t(total + 500)};
        for (int32_t i = 0; i < 12; ++i)
            targets.push_back(int32_t(rng() % uint32_t(total)));
        for (int32_t t : targets) {
            const int32_t n = 3000;
            std::vector<int32_t> got(size_t(n) * 2);
            src->Seek(t);
            EXPECT_EQ(src->GetPosition(), t);
            src->Read(got.data(), n);
            EXPECT_EQ(got, Slice(straight.samples, t, n, 2)) << lame << " seek to " << t;
            EXPECT_EQ(src->GetPosition(), t + n);
        }
    }
}

// Damaged copies of a file: flipped bytes, cuts and inserted garbage must decode
// to the end without a crash, a hang or a read out of bounds (the sanitizer build
// checks the last).
TEST(Mp3Stream, CorruptedFilesDecodeSafely)
{
    std::string clean = test::ReadFileBytes(MakeMp3("fuzz_src", "-b 64 -m j", 44100, 0.6));
    std::string lsf = test::ReadFileBytes(MakeMp3("fuzz_lsf", "-b 24 --resample 16", 16000, 0.6));
    std::mt19937 rng(1234);
    const std::string path = test::TempPath("corrupt.mp3");
    std::vector<int32_t> buffer(2 * 4096);
    for (int32_t round = 0; round < 1500; ++round) {
        std::string bytes = round & 1 ? lsf : clean;
        switch (rng() % 4) {
        case 0:  // flip a few bytes
            for (uint32_t i = 0, n = 1 + rng() % 20; i < n; ++i)
                bytes[rng() % bytes.size()] = char(rng());
            break;
        case 1:  // cut
            bytes.resize(rng() % bytes.size());
            break;
        case 2: {  // insert garbage
            std::string junk(1 + rng() % 600, '\0');
            for (char& c : junk)
                c = char(rng());
            bytes.insert(rng() % bytes.size(), junk);
            break;
        }
        default:  // random bits in the side information and main data of every frame
            for (size_t i = 4; i < bytes.size(); i += 1 + rng() % 200)
                bytes[i] = char(bytes[i] ^ (1 << (rng() % 8)));
            break;
        }
        test::WriteFileBytes(path, bytes);
        LSoundSource src = LMP3Source::Open(path);
        if (src->GetError() != kSrcGood)
            continue;
        // Bounded: the stream cannot be longer than its bytes allow, whatever it says.
        for (int32_t reads = 0; reads < 64 && src->GetPosition() < src->GetLength(); ++reads)
            src->Read(buffer.data(), 4096);
        src->Seek(int32_t(rng() % 40000));
        src->Read(buffer.data(), 4096);
    }
}

} // namespace
