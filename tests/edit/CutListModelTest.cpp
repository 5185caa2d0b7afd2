#include <gtest/gtest.h>

#include <map>
#include <random>

#include "core/LFile.h"
#include "core/Q24.h"
#include "edit/EditTestSupport.h"

// Random edit sequences on cut lists, checked against the same edits on plain
// vectors of (sample, gain) frames. Each list is read back through the cut-list
// source with random seeks and chunk sizes, and a census checks that every
// segment's count equals the cuts naming it and that its files exist exactly
// while it is referenced.

namespace {

struct Frame {
    int32_t value = 0;
    int32_t gain = kQ24Unity;
};
using Model = std::vector<Frame>;

Model Silence(int64_t n) { return Model(size_t(std::max<int64_t>(n, 0))); }

void MDelete(Model& m, int32_t s, int32_t e)
{
    if (e < s || e < 0)
        return;
    int64_t a = std::max(s, 0), b = std::min<int64_t>(e, int64_t(m.size()));
    if (a < b)
        m.erase(m.begin() + a, m.begin() + b);
}

void MInsert(Model& m, int32_t p, Model other)
{
    if (p < 0) {
        Model pad = Silence(-int64_t(p));
        other.insert(other.end(), pad.begin(), pad.end());
        p = 0;
    } else if (size_t(p) > m.size()) {
        Model pad = Silence(p - int64_t(m.size()));
        m.insert(m.end(), pad.begin(), pad.end());
    }
    m.insert(m.begin() + p, other.begin(), other.end());
}

void MInsertSilence(Model& m, int32_t p, int32_t n)
{
    if (p < 0) {
        if (n < -p)
            return;
        n += p;
        p = 0;
    }
    if (size_t(p) > m.size()) {
        n += p - int32_t(m.size());
        p = int32_t(m.size());
    }
    Model pad = Silence(n);
    m.insert(m.begin() + p, pad.begin(), pad.end());
}

Model MCopy(const Model& m, int32_t s, int32_t e)
{
    Model out;
    for (int64_t p = s; p < e; ++p)
        out.push_back(p >= 0 && p < int64_t(m.size()) ? m[size_t(p)] : Frame{});
    return out;
}

void MAmplifyAll(Model& m, int32_t pct)
{
    if (pct == 100)
        return;
    int32_t limit = pct >= 101 ? (0x7FFFFFFF / pct) * 100 : 0x7FFFFFFF;
    for (Frame& f : m)
        f.gain = (limit > f.gain || pct <= 100) ? (f.gain / 100) * pct : 0x7FFFFFFF;
}

std::vector<int32_t> Expected(const Model& m)
{
    std::vector<int32_t> out;
    for (const Frame& f : m)
        out.push_back(f.gain == kQ24Unity ? f.value : Q24Mul(f.value, f.gain));
    return out;
}

// Reads `list` with random seeks and chunk sizes and checks every frame.
void CheckReads(const LCutListAudio& list, const Model& model, std::mt19937& rng)
{
    std::vector<int32_t> want = Expected(model);
    LSoundSource src = list.OpenSource();
    ASSERT_EQ(src->GetLength(), int32_t(want.size()));
    for (int round = 0; round < 3; ++round) {
        int32_t at = int32_t(rng() % (want.size() + 10)) - 5;
        int32_t n = int32_t(rng() % 40) + 1;
        src->Seek(at);
        std::vector<int32_t> got(static_cast<size_t>(n));
        src->Read(got.data(), n);
        for (int32_t k = 0; k < n; ++k) {
            int64_t p = int64_t(at) + k;
            int32_t w = p >= 0 && p < int64_t(want.size()) ? want[size_t(p)] : 0;
            ASSERT_EQ(got[size_t(k)], w) << "frame " << p;
        }
    }
}

struct Pair {
    LCutListAudio list;
    Model model;
};

} // namespace

TEST(CutListModel, ThousandsOfRandomEditSequencesMatchAPlainVector)
{
    LAudioCutTank& tank = LAudioCutTank::Get();
    std::mt19937 rng(20261208);
    auto pick = [&](int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(rng); };

    for (int sequence = 0; sequence < 2000; ++sequence) {
        std::vector<Pair> pool;
        for (int i = 0; i < 3; ++i) {
            std::vector<int32_t> v(size_t(pick(1, 30)));
            Pair p;
            for (size_t k = 0; k < v.size(); ++k) {
                v[k] = (i + 1) * 100000 + int32_t(k) * 4099 - 30000;
                p.model.push_back({v[k], kQ24Unity});
            }
            p.list = test::ListOf(v);
            pool.push_back(std::move(p));
        }
        Pair doc = pool[0], clip, kept;
        std::string trace;
        for (int step = 0; step < 25; ++step) {
            const int32_t len = int32_t(doc.model.size());
            const int32_t s = pick(-5, len + 5), e = pick(s - 2, len + 8);
            const int32_t ok = std::max(s, 0), oe = std::max(e, ok);
            const int32_t op = pick(0, 11);
            trace += " op" + std::to_string(op) + "(" + std::to_string(s) + "," + std::to_string(e) + ")/" +
                     std::to_string(len);
            std::string before;
            for (const LCut& c : doc.list.Cuts())
                before += " [" + std::to_string(c.Segment()) + " " + std::to_string(c.start) + "+" + std::to_string(c.length) + "]";
            switch (op) {
            case 0: doc.list.EfDelete(s, e); MDelete(doc.model, s, e); break;
            case 1: {
                const Pair& other = pool[size_t(pick(0, 2))];
                doc.list.EfInsert(s, other.list);
                MInsert(doc.model, s, other.model);
                break;
            }
            case 2: {
                int32_t n = pick(0, 9);
                doc.list.EfInsertSilence(s, n);
                MInsertSilence(doc.model, s, n);
                break;
            }
            case 3:
                doc.list.EfCopy(s, e, clip.list);
                if (s <= e)
                    clip.model = MCopy(doc.model, s, e);
                break;
            case 4:
                if (s <= e) {
                    doc.list.EfCut(s, e, clip.list);
                    clip.model = MCopy(doc.model, s, e);
                    MDelete(doc.model, s, e);
                }
                break;
            case 5:
                doc.list.EfReplace(ok, oe, clip.list);
                MDelete(doc.model, ok, oe);
                MInsert(doc.model, ok, clip.model);
                break;
            case 6: {
                int32_t pct = pick(0, 600);
                doc.list.EfAmplify(ok, oe, pct);
                if (pct != 100) {
                    Model part = MCopy(doc.model, ok, oe);
                    MDelete(doc.model, ok, oe);
                    MAmplifyAll(part, pct);
                    MInsert(doc.model, ok, part);
                }
                break;
            }
            case 7:
                doc.list.EfSilence(ok, oe);
                MDelete(doc.model, ok, oe);
                MInsertSilence(doc.model, ok, oe - ok);
                break;
            case 8: {
                int32_t n = pick(0, 3);
                doc.list.EfRepeat(ok, oe, n);
                Model part = MCopy(doc.model, ok, oe);
                for (int32_t r = 0; r < n; ++r)
                    MInsert(doc.model, ok, part);
                break;
            }
            case 9:
                doc.list.EfTrim(ok, oe);
                MDelete(doc.model, 0, ok);
                MDelete(doc.model, oe - ok, int32_t(doc.model.size()));
                break;
            case 10: kept = doc; break;  // an undo level: shares segments
            case 11: {
                int32_t pct = pick(0, 1000);
                doc.list.EfAmplifyAll(pct);
                MAmplifyAll(doc.model, pct);
                break;
            }
            }
            ASSERT_EQ(doc.list.GetLength(), int32_t(doc.model.size())) << "sequence " << sequence << " step " << step << trace << "\nbefore:" << before << "\nclip " << clip.list.GetLength();
            CheckReads(doc.list, doc.model, rng);
            if (HasFatalFailure())
                return;
        }
        CheckReads(clip.list, clip.model, rng);
        CheckReads(kept.list, kept.model, rng);

        // Census: every count equals the cuts naming the segment.
        std::map<LSegmentRef, int> census;
        for (const LCutListAudio* l : {&doc.list, &clip.list, &kept.list, &pool[0].list, &pool[1].list, &pool[2].list})
            for (const LCut& c : l->Cuts())
                if (!c.IsSilent())
                    ++census[c.Segment()];
        for (auto [seg, n] : census) {
            ASSERT_EQ(tank.RefCount(seg), n);
            ASSERT_TRUE(FileExists(tank.GetAudFilePath(seg)));
        }
        std::vector<LSegmentRef> segs;
        for (auto [seg, n] : census)
            segs.push_back(seg);
        pool.clear();
        doc = Pair();
        clip = Pair();
        kept = Pair();
        for (LSegmentRef seg : segs) {
            ASSERT_EQ(tank.RefCount(seg), 0);
            ASSERT_FALSE(FileExists(tank.GetAudFilePath(seg))) << "deleted with the last reference";
        }
        ASSERT_EQ(tank.LiveSegments(), 0);
    }
}
