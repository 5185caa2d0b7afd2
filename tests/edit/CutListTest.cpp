#include <gtest/gtest.h>

#include "edit/EditTestSupport.h"

using test::CutView;
using test::Frames;
using test::ListOf;
using test::View;

namespace {

constexpr int32_t U = kQ24Unity;
constexpr LSegmentRef S = kSilentSegment;

// Three cuts over two segments: A[0..4) B[2..5) A[6..10), frames
// 10 11 12 13 | 102 103 104 | 16 17 18 19.
struct Tiny {
    LCutListAudio a = ListOf({10, 11, 12, 13, 14, 15, 16, 17, 18, 19});
    LCutListAudio b = ListOf({100, 101, 102, 103, 104, 105});
    LCutListAudio list;
    LSegmentRef A, B;
    Tiny()
    {
        A = a.Cuts()[0].Segment();
        B = b.Cuts()[0].Segment();
        a.EfCopy(0, 4, list);
        LCutListAudio part;
        b.EfCopy(2, 5, part);
        list.EfInsert(4, part);
        a.EfCopy(6, 10, part);
        list.EfInsert(7, part);
    }
    uint32_t Refs(LSegmentRef s) { return LAudioCutTank::Get().RefCount(s); }
};

std::vector<int32_t> Seq(std::initializer_list<int32_t> v) { return v; }

} // namespace

TEST(CutList, TinyListIsBuiltFromThreeCuts)
{
    Tiny t;
    EXPECT_EQ(View(t.list), (std::vector<CutView>{{t.A, 4, U, 0}, {t.B, 3, U, 2}, {t.A, 4, U, 6}}));
    EXPECT_EQ(Frames(t.list), Seq({10, 11, 12, 13, 102, 103, 104, 16, 17, 18, 19}));
    EXPECT_EQ(t.Refs(t.A), 3);
    EXPECT_EQ(t.Refs(t.B), 2);
}

TEST(CutList, DeleteSplitsTrimsAndRemoves)
{
    Tiny t;
    LCutListAudio l = t.list;
    l.EfDelete(1, 3);  // inside one cut: two cuts over the same segment around the gap
    EXPECT_EQ(View(l), (std::vector<CutView>{{t.A, 1, U, 0}, {t.A, 1, U, 3}, {t.B, 3, U, 2}, {t.A, 4, U, 6}}));
    EXPECT_EQ(t.Refs(t.A), 6);

    l = t.list;
    l.EfDelete(3, 8);  // tail of cut 1, all of cut 2, head of cut 3
    EXPECT_EQ(View(l), (std::vector<CutView>{{t.A, 3, U, 0}, {t.A, 3, U, 7}}));
    EXPECT_EQ(Frames(l), Seq({10, 11, 12, 17, 18, 19}));

    l = t.list;
    l.EfDelete(5, 5);  // splits at 5, removes nothing
    EXPECT_EQ(View(l), (std::vector<CutView>{{t.A, 4, U, 0}, {t.B, 1, U, 2}, {t.B, 2, U, 3}, {t.A, 4, U, 6}}));

    l = t.list;
    l.EfDelete(0, 0);
    EXPECT_EQ(View(l), View(t.list));
    l.EfDelete(-20, 100);
    EXPECT_TRUE(l.Cuts().empty());
    EXPECT_EQ(l.GetLength(), 0);
    l = t.list;
    l.EfDelete(5, 2);
    l.EfDelete(-5, -1);
    EXPECT_EQ(View(l), View(t.list)) << "invalid ranges do nothing";
}

TEST(CutList, CopyPadsWithSilence)
{
    Tiny t;
    LCutListAudio d;
    t.list.EfCopy(-100, 50, d);
    EXPECT_EQ(d.GetLength(), 150);
    EXPECT_EQ(View(d).front(), (CutView{S, 100, U, 0}));
    EXPECT_EQ(View(d).back(), (CutView{S, 39, U, 0}));
    std::vector<int32_t> f = Frames(d);
    EXPECT_EQ(f[100], 10);
    EXPECT_EQ(f[110], 19);
    EXPECT_EQ(f[111], 0);
    LCutListAudio untouched = d;
    t.list.EfCopy(5, 4, d);
    EXPECT_EQ(View(d), View(untouched)) << "sStart > sEnd leaves the destination alone";
    t.list.EfCopy(2, 2, d);
    EXPECT_EQ(d.GetLength(), 0);
}

TEST(CutList, InsertAtTheEdges)
{
    Tiny t;
    LCutListAudio other = ListOf({7, 8});
    LCutListAudio l = t.list;
    l.EfInsert(-5, other);
    EXPECT_EQ(Frames(l), Seq({7, 8, 0, 0, 0, 0, 0, 10, 11, 12, 13, 102, 103, 104, 16, 17, 18, 19}));
    l = t.list;
    l.EfInsert(13, other);
    EXPECT_EQ(Frames(l), Seq({10, 11, 12, 13, 102, 103, 104, 16, 17, 18, 19, 0, 0, 7, 8}));
    l = t.list;
    l.EfInsert(2, other);
    EXPECT_EQ(Frames(l), Seq({10, 11, 7, 8, 12, 13, 102, 103, 104, 16, 17, 18, 19}));
    l.EfInsert(0, l);
    EXPECT_EQ(l.GetLength(), 26) << "inserting a list into itself";

    l = t.list;
    l.EfInsertSilence(l.GetLength() + 10, 5);
    EXPECT_EQ(View(l).back(), (CutView{S, 15, U, 0})) << "one silent cut covers gap and silence";
    l = t.list;
    l.EfInsertSilence(-3, 2);
    EXPECT_EQ(View(l), View(t.list)) << "entirely before the start";
    l.EfInsertSilence(-3, 5);
    EXPECT_EQ(View(l).front(), (CutView{S, 2, U, 0}));
    l = t.list;
    l.EfInsertSilence(5, 1);
    EXPECT_EQ(Frames(l), Seq({10, 11, 12, 13, 102, 0, 103, 104, 16, 17, 18, 19}));
}

TEST(CutList, AmplifySaturatesInsteadOfWrapping)
{
    Tiny t;
    LCutListAudio l = t.list;
    l.EfAmplifyAll(100);
    EXPECT_EQ(View(l), View(t.list));
    l.EfAmplifyAll(200);
    EXPECT_EQ(l.Cuts()[0].gain, 0x1FFFFE0);
    for (int i = 0; i < 10; ++i)
        l.EfAmplifyAll(400);
    EXPECT_EQ(l.Cuts()[0].gain, LCut::kMaxGain);
    l.EfAmplifyAll(150);
    EXPECT_EQ(l.Cuts()[0].gain, LCut::kMaxGain);
    l.EfAmplifyAll(50);
    EXPECT_EQ(l.Cuts()[0].gain, (LCut::kMaxGain / 100) * 50) << "a saturated gain can be turned down";
    l.EfAmplifyAll(0);
    EXPECT_EQ(l.Cuts()[0].gain, 0);

    l = t.list;
    l.EfAmplify(2, 5, 50);
    const int32_t half = (U / 100) * 50;
    EXPECT_EQ(Frames(l), Seq({10, 11, Q24Mul(12, half), Q24Mul(13, half), Q24Mul(102, half), 103, 104, 16, 17, 18, 19}));
    EXPECT_EQ(l.Cuts().size(), 5u);
}

TEST(CutList, TrimSilenceAndRepeat)
{
    Tiny t;
    LCutListAudio l = t.list;
    l.EfTrim(3, 6);
    EXPECT_EQ(Frames(l), Seq({13, 102, 103}));
    l = t.list;
    l.EfSilence(1, 9);
    EXPECT_EQ(Frames(l), Seq({10, 0, 0, 0, 0, 0, 0, 0, 0, 18, 19}));
    l = t.list;
    l.EfRepeat(3, 5, 2);
    EXPECT_EQ(Frames(l), Seq({10, 11, 12, 13, 102, 13, 102, 13, 102, 103, 104, 16, 17, 18, 19}));
    l = t.list;
    l.EfDeleteBefore(9);
    l.EfDeleteAfter(1);
    EXPECT_EQ(Frames(l), Seq({18}));
    LCutListAudio clip;
    l = t.list;
    l.EfCut(4, 7, clip);
    EXPECT_EQ(Frames(clip), Seq({102, 103, 104}));
    l.EfReplace(0, 2, clip);
    EXPECT_EQ(Frames(l), Seq({102, 103, 104, 12, 13, 16, 17, 18, 19}));
}

TEST(CutListSource, SnapshotsSilenceGainsAndSeeks)
{
    Tiny t;
    LCutListAudio l = t.list;
    l.EfInsertSilence(4, 2);
    l.EfAmplify(8, 9, 200);
    LSoundSource s = l.OpenSource();
    l.Clear();  // the open source keeps its own copy
    EXPECT_EQ(s->GetMaxAmplitude(), 0x200000u);
    std::vector<int32_t> all(13);
    s->Read(all.data(), 13);
    EXPECT_EQ(all, Seq({10, 11, 12, 13, 0, 0, 102, 103, 207, 16, 17, 18, 19}));
    s->Seek(-3);
    std::vector<int32_t> head(5);
    s->Read(head.data(), 5);
    EXPECT_EQ(head, Seq({0, 0, 0, 10, 11}));
    s->Seek(7);
    std::vector<int32_t> tail(8);
    s->Read(tail.data(), 8);
    EXPECT_EQ(tail, Seq({103, 207, 16, 17, 18, 19, 0, 0}));
    EXPECT_EQ(s->GetPosition(), 15);

    LCutListAudio empty;
    LSoundSource e = empty.OpenSource();
    EXPECT_EQ(e->GetLength(), 0);
    e->Read(head.data(), 5);
    EXPECT_EQ(head, Seq({0, 0, 0, 0, 0}));
}

TEST(CutListSource, DamagedSegmentsReadAsSilence)
{
    LCutListAudio l = ListOf({1, 2, 3, 4, 5, 6});
    LCutListAudio gone = ListOf({7, 8});
    l.EfInsert(6, gone);
    std::string aud = LAudioCutTank::Get().GetAudFilePath(l.Cuts()[0].Segment());
    test::WriteFileBytes(aud, test::ReadFileBytes(aud).substr(0, 10));  // two and a half frames
    ::unlink(LAudioCutTank::Get().GetAudFilePath(gone.Cuts()[0].Segment()).c_str());
    EXPECT_EQ(Frames(l), Seq({1, 2, 0, 0, 0, 0, 0, 0}));
}
