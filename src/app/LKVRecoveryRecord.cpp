#include "app/LKVRecoveryRecord.h"

#include <cstring>

#include "core/ByteOrder.h"

namespace {

constexpr uint8_t kMagic[4] = {'K', 'V', 'R', 'C'};
constexpr uint8_t kVersion = 1;
constexpr size_t kCutBytes = 14;
// Bounds a damaged count cannot get past: no allocation is larger than the file.
constexpr uint32_t kMaxText = 4096;

uint32_t Fnv1a(const uint8_t* p, size_t n)
{
    uint32_t h = 2166136261u;
    for (size_t i = 0; i < n; ++i)
        h = (h ^ p[i]) * 16777619u;
    return h;
}

// Reads fields in order; any read past the end marks the reader failed.
class Reader {
public:
    Reader(const uint8_t* p, size_t n) : p_(p), n_(n) {}
    bool Ok() const { return ok_; }
    bool AtEnd() const { return at_ == n_; }
    bool Has(size_t bytes)
    {
        if (n_ - at_ < bytes)
            ok_ = false;
        return ok_;
    }
    uint8_t U8() { return Has(1) ? p_[at_++] : 0; }
    uint32_t U32()
    {
        if (!Has(4))
            return 0;
        const uint32_t v = GetLE32(p_ + at_);
        at_ += 4;
        return v;
    }
    int32_t I32() { return int32_t(U32()); }
    std::string Text()
    {
        const uint32_t len = U32();
        if (len > kMaxText || !Has(len))
            return ok_ = false, std::string();
        std::string s(reinterpret_cast<const char*>(p_ + at_), len);
        at_ += len;
        return s;
    }
    bool Cuts(std::vector<LKVRecoveryRecord::Cut>& cuts)
    {
        const uint32_t count = U32();
        if (!Has(size_t(count) * kCutBytes))
            return false;
        cuts.resize(count);
        for (auto& c : cuts) {
            c.segment = GetLE16(p_ + at_);
            c.length = int32_t(GetLE32(p_ + at_ + 2));
            c.gain = int32_t(GetLE32(p_ + at_ + 6));
            c.start = int32_t(GetLE32(p_ + at_ + 10));
            at_ += kCutBytes;
            if (c.length < 0 || c.start < 0)
                ok_ = false;
        }
        return ok_;
    }

private:
    const uint8_t* p_;
    size_t n_;
    size_t at_ = 0;
    bool ok_ = true;
};

bool ValidFormat(int32_t rate, uint8_t channels) { return rate > 0 && (channels == 1 || channels == 2); }

} // namespace

std::vector<LSegmentRef> LKVRecoveryRecord::Segments() const
{
    std::vector<LSegmentRef> refs;
    for (const Cut& c : cuts)
        refs.push_back(c.segment);
    for (const Region& r : regions)
        for (const Cut& c : r.cuts)
            refs.push_back(c.segment);
    return refs;
}

bool LKVRecoveryRecord::Decode(const std::vector<uint8_t>& bytes, LKVRecoveryRecord& out)
{
    if (bytes.size() < 9 || std::memcmp(bytes.data(), kMagic, 4) != 0 || bytes[4] != kVersion)
        return false;
    const size_t body = bytes.size() - 4;
    if (Fnv1a(bytes.data(), body) != GetLE32(bytes.data() + body))
        return false;
    Reader r(bytes.data() + 5, body - 5);
    LKVRecoveryRecord rec;
    rec.modified = r.U8() != 0;
    rec.verticalZoom = r.U8();
    rec.displayMode = r.U8();
    rec.channels = r.U8();
    rec.untitledNumber = r.I32();
    rec.sampleRate = r.I32();
    rec.pos.cursor = r.I32();
    rec.pos.selStart = r.I32();
    rec.pos.selEnd = r.I32();
    rec.pos.viewStart = r.I32();
    rec.pos.viewEnd = r.I32();
    rec.path = r.Text();
    if (!r.Ok() || !ValidFormat(rec.sampleRate, rec.channels) || !r.Cuts(rec.cuts))
        return false;
    const uint32_t marks = r.U32();
    for (uint32_t i = 0; i < marks && r.Ok(); ++i) {
        LKVBookMark b;
        b.name = r.Text();
        b.path = r.Text();
        b.positionMs = r.U32();
        b.timesVisited = r.U8();
        b.lastVisited = r.U32();
        rec.bookmarks.push_back(std::move(b));
    }
    const uint32_t regions = r.U32();
    for (uint32_t i = 0; i < regions && r.Ok(); ++i) {
        Region g;
        g.name = r.Text();
        g.path = r.Text();
        g.startMs = r.U32();
        g.endMs = r.U32();
        g.sampleRate = r.I32();
        g.channels = r.U8();
        if (!ValidFormat(g.sampleRate, g.channels) || !r.Cuts(g.cuts))
            return false;
        rec.regions.push_back(std::move(g));
    }
    if (!r.Ok() || !r.AtEnd())
        return false;
    out = std::move(rec);
    return true;
}

void LKVRecoveryEncoder::U32(uint32_t v)
{
    uint8_t b[4];
    PutLE32(b, v);
    bytes_.insert(bytes_.end(), b, b + 4);
}

void LKVRecoveryEncoder::Text(const std::string& s)
{
    U32(uint32_t(s.size()));
    bytes_.insert(bytes_.end(), s.begin(), s.end());
}

void LKVRecoveryEncoder::Document(const LKVFile& doc)
{
    bytes_.insert(bytes_.end(), kMagic, kMagic + 4);
    U8(kVersion);
    U8(doc.modified ? 1 : 0);
    U8(doc.verticalZoom);
    U8(doc.displayMode);
    U8(doc.audio.channels);
    for (int32_t v : {doc.untitledNumber, doc.audio.sampleRate, doc.pos.cursor, doc.pos.selStart, doc.pos.selEnd,
                      doc.pos.viewStart, doc.pos.viewEnd})
        U32(uint32_t(v));
    Text(doc.path);
}

void LKVRecoveryEncoder::CutCount(size_t count) { U32(uint32_t(count)); }

void LKVRecoveryEncoder::AddCut(LSegmentRef segment, int32_t length, int32_t gain, int32_t start)
{
    uint8_t b[kCutBytes];
    PutLE16(b, segment);
    PutLE32(b + 2, uint32_t(length));
    PutLE32(b + 6, uint32_t(gain));
    PutLE32(b + 10, uint32_t(start));
    bytes_.insert(bytes_.end(), b, b + kCutBytes);
}

void LKVRecoveryEncoder::Cuts(const std::vector<LCut>& cuts)
{
    const size_t at = bytes_.size();
    bytes_.resize(at + cuts.size() * kCutBytes);
    uint8_t* b = bytes_.data() + at;
    for (const LCut& c : cuts) {
        PutLE16(b, c.Segment());
        PutLE32(b + 2, uint32_t(c.length));
        PutLE32(b + 6, uint32_t(c.gain));
        PutLE32(b + 10, uint32_t(c.start));
        b += kCutBytes;
    }
}

void LKVRecoveryEncoder::Marks(const LKVFile& doc, const LKVBookMarkList& bookmarks, const LKVRegionList& regions)
{
    const std::string owner = doc.GetPathOrTitle();
    uint32_t count = 0;
    for (const LKVBookMark& b : bookmarks)
        count += b.path == owner;
    U32(count);
    for (const LKVBookMark& b : bookmarks) {
        if (b.path != owner)
            continue;
        Text(b.name);
        Text(b.path);
        U32(b.positionMs);
        U8(b.timesVisited);
        U32(b.lastVisited);
    }
    count = 0;
    for (const LKVRegion& r : regions)
        count += r.path == owner;
    U32(count);
    for (const LKVRegion& r : regions) {
        if (r.path != owner)
            continue;
        Text(r.name);
        Text(r.path);
        U32(r.startMs);
        U32(r.endMs);
        U32(uint32_t(r.audio.sampleRate));
        U8(r.audio.channels);
        CutCount(r.audio.Cuts().size());
        Cuts(r.audio.Cuts());
    }
}

void LKVRecoveryEncoder::Seal(std::vector<uint8_t>& bytes)
{
    uint8_t b[4];
    PutLE32(b, Fnv1a(bytes.data(), bytes.size()));
    bytes.insert(bytes.end(), b, b + 4);
}

std::vector<uint8_t> LKVRecoveryEncoder::Finish()
{
    Seal(bytes_);
    std::vector<uint8_t> out;
    out.swap(bytes_);
    return out;
}
