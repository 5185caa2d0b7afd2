#include <gtest/gtest.h>

#include "core/LPRSourceToSink.h"
#include "edit/LCutListAudioLoadSource.h"
#include "edit/LSRCSegmentStream.h"
#include "edit/EditTestSupport.h"

namespace {

// Stereo frames of a loud ramp: a quarter of them beyond 16-bit full scale, so
// that the pump's limiter has work to do.
std::vector<int32_t> Loud(int32_t frames)
{
    std::vector<int32_t> v;
    for (int32_t f = 0; f < frames; ++f) {
        v.push_back((f * 37) % 0x140000 - 0xA0000);
        v.push_back(-((f * 11) % 0x100000) + 0x80000);
    }
    return v;
}

// A reader whose length is an estimate until it has read to its end, as a
// compressed reader's is: `error` frames off (either way), then exact.
class EstimatingSource : public test::VectorSource {
public:
    EstimatingSource(std::vector<int32_t> values, int32_t error)
        : VectorSource(std::move(values), 44100, 2, 0x200000), error_(error)
    {
    }
    int32_t GetLength() override
    {
        const int32_t exact = VectorSource::GetLength();
        if (GetPosition() >= exact)
            return exact;
        return error_ < 0 ? std::max(GetPosition() + 1, exact + error_) : exact + error_;
    }

private:
    int32_t error_;
};

// What a save pump writes from `source`.
std::vector<int32_t> Saved(const LSoundSource& source)
{
    test::ScriptedProgress progress;
    auto* sink = new test::VectorSink(source->GetSampleRate(), source->GetChannels());
    LPRSourceToSink::Data pump{"save", source, LSoundSink(sink)};
    EXPECT_EQ(RunJob("save", [&](LProgressDialog& d) { return LPRSourceToSink::Process(d, pump); }), kJobDone);
    return sink->values;
}

LCutListAudio Loaded(const LSoundSource& source)
{
    test::ScriptedProgress progress;
    LCutListAudio list;
    LCutListAudioLoadSource::Data load{"load", &list, source};
    EXPECT_EQ(RunJob("load", [&](LProgressDialog& d) { return LCutListAudioLoadSource::Process(d, load); }), kJobDone);
    return list;
}

} // namespace

TEST(SegmentStream, DeliversWhatTheLoadedDocumentDelivers)
{
    const int32_t block = LPRSourceToSink::kBlockFrames;
    for (int32_t frames : {0, 5, block, 3 * block, 3 * block + 1, 40000}) {
        for (int32_t error : {0, -9000, -1, 1, 7000}) {
            SCOPED_TRACE(std::to_string(frames) + " frames, length off by " + std::to_string(error));
            auto open = [&] { return MakeSource<EstimatingSource>(Loud(frames), error); };
            const LCutListAudio document = Loaded(open());
            ASSERT_EQ(document.GetLength(), frames);
            LSoundSource stream = MakeSource<LSRCSegmentStream>(open());
            EXPECT_EQ(stream->GetMaxAmplitude(), document.OpenSource()->GetMaxAmplitude());
            EXPECT_EQ(Saved(stream), Saved(document.OpenSource()));
            // Read in odd pieces, past the end.
            stream = MakeSource<LSRCSegmentStream>(open());
            std::vector<int32_t> read = test::ReadAll(stream, 777);
            EXPECT_EQ(stream->GetLength(), frames);
            read.resize(size_t(frames) * 2);
            EXPECT_EQ(read, test::Frames(document));
        }
    }
}

TEST(SegmentStream, AmplifiesAsTheDocumentDoesAndCannotGoBack)
{
    const std::vector<int32_t> values = Loud(20000);
    LCutListAudio document = Loaded(MakeSource<test::VectorSource>(values, 8000, 2, 0x200000));
    auto* segment = new LSRCSegmentStream(MakeSource<test::VectorSource>(values, 8000, 2, 0x200000));
    LSoundSource stream(segment);
    for (int32_t percent : {250, 100, 30, 0, 400}) {
        document.EfAmplify(0, document.GetLength(), percent);
        segment->Amplify(percent);
    }
    std::vector<int32_t> piece(200 * 2), expected(200 * 2);
    LSoundSource read = document.OpenSource();
    stream->Seek(15000);
    read->Seek(15000);
    stream->Read(piece.data(), 200);
    read->Read(expected.data(), 200);
    EXPECT_EQ(piece, expected) << "a seek forward";
    EXPECT_EQ(stream->GetError(), kSrcGood);
    stream->Seek(100);
    EXPECT_EQ(stream->GetError(), kSrcInvalid) << "the frames before the block held are gone";

    LSoundSource broken = MakeSource<LSRCSegmentStream>(LSoundSource());
    EXPECT_EQ(broken->GetError(), kSrcUpstreamError);
    EXPECT_EQ(broken->GetLength(), 0);
}
