#include "cd/LCDIsoLayout.h"

#include <climits>
#include <cstring>
#include <deque>

#include "cd/LCDIsoDate.h"
#include "cd/LCDIsoNames.h"
#include "cd/LCDRockRidge.h"
#include "core/ByteOrder.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Both16(uint8_t* p, uint16_t v)
{
    PutLE16(p, v);
    PutBE16(p + 2, v);
}

void Both32(uint8_t* p, uint32_t v)
{
    PutLE32(p, v);
    PutBE32(p + 4, v);
}

std::string Ucs2Bytes(const std::u16string& text)
{
    std::string out;
    out.reserve(text.size() * 2);
    for (char16_t c : text) {
        out += char(c >> 8);
        out += char(c & 0xFF);
    }
    return out;
}

// `count` UCS-2 characters of `text` padded with spaces, big-endian.
void PutUcs2Field(uint8_t* p, const std::u16string& text, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        const char16_t c = i < text.size() ? text[i] : u' ';
        p[2 * i] = uint8_t(c >> 8);
        p[2 * i + 1] = uint8_t(c & 0xFF);
    }
}

} // namespace

struct LCDIsoLayout::Record {
    uint32_t location = 0;
    uint32_t length = 0;
    bool directory = false;
    std::string identifier;  // bytes as recorded
    int64_t date = -1;       // -1: all zero
    std::vector<Bytes> systemUse;
};

bool LCDIsoLayout::Build(LCDFile& root, const Options& options, std::string& error)
{
    options_ = options;
    directories_.clear();
    files_.clear();

    // Path table order: level by level, each level in tree order.
    std::deque<LCDFile*> queue{&root};
    while (!queue.empty()) {
        LCDFile* d = queue.front();
        queue.pop_front();
        if (directories_.size() >= 0xFFFF) {
            error = "A CD image holds at most 65535 folders.";
            return false;
        }
        directories_.push_back(d);
        d->directoryNumber = uint16_t(directories_.size());
        for (auto& c : d->children)
            if (c->isDirectory)
                queue.push_back(c.get());
    }

    // Sizing pass.
    offset_ = 0;
    ceOffset_ = 0;
    Folder(root, false, false);
    Align(offset_);
    d1_ = int32_t(offset_ / kSector);
    Folder(root, false, true);
    Align(offset_);
    d2_ = int32_t(offset_ / kSector) - d1_;
    Align(ceOffset_);
    ceSectors_ = int32_t(ceOffset_ / kSector);

    ptIso_ = PathTable(false, false);
    ptJoliet_ = PathTable(true, false);
    pIso_ = int32_t((ptIso_.size() + kSector - 1) / kSector);
    pJoliet_ = int32_t((ptJoliet_.size() + kSector - 1) / kSector);

    // Files in tree order (depth first, children in list order).
    int64_t next = int64_t(options_.start) + kFirstDirectory + d1_ + d2_ + PathTableSectors() + ceSectors_;
    const int32_t firstFile = int32_t(next - options_.start);
    std::vector<LCDFile*> stack{&root};
    std::vector<LCDFile*> order;
    while (!stack.empty()) {
        LCDFile* n = stack.back();
        stack.pop_back();
        for (auto it = n->children.rbegin(); it != n->children.rend(); ++it)
            stack.push_back(it->get());
        if (!n->isDirectory) {
            n->location = int32_t(std::min<int64_t>(next, INT32_MAX));
            next += (int64_t(n->size) + kSector - 1) / kSector;
            if (!n->isLink)
                files_.push_back(n);
        }
    }
    if (next > INT32_MAX) {
        error = "The files are too large for one CD image (more than 4 TB).";
        return false;
    }
    imageSectors_ = int32_t(next - options_.start);

    // Writing pass.
    dirArea_.assign(size_t(d1_ + d2_) * kSector, 0);
    ceArea_.assign(size_t(ceSectors_) * kSector, 0);
    offset_ = 0;
    ceOffset_ = 0;
    Folder(root, true, false);
    Align(offset_);
    Folder(root, true, true);
    ptIso_ = PathTable(false, false);
    ptJoliet_ = PathTable(true, false);

    head_.assign(size_t(firstFile) * kSector, 0);
    uint8_t* h = head_.data();
    Descriptor(h + 16 * kSector, false, root);
    Descriptor(h + 17 * kSector, true, root);
    uint8_t* terminator = h + 18 * kSector;
    terminator[0] = 255;
    std::memcpy(terminator + 1, "CD001", 5);
    terminator[6] = 1;
    uint8_t* at = h + size_t(kFirstDirectory) * kSector;
    std::memcpy(at, dirArea_.data(), dirArea_.size());
    at += dirArea_.size();
    const Bytes tables[4] = {ptIso_, PathTable(false, true), ptJoliet_, PathTable(true, true)};
    for (int32_t i = 0; i < 4; ++i) {
        std::memcpy(at, tables[i].data(), tables[i].size());
        at += size_t(i < 2 ? pIso_ : pJoliet_) * kSector;
    }
    if (!ceArea_.empty())
        std::memcpy(at, ceArea_.data(), ceArea_.size());
    return true;
}

void LCDIsoLayout::Folder(LCDFile& dir, bool write, bool joliet)
{
    Align(offset_);
    const int32_t location = options_.start + kFirstDirectory + int32_t(offset_ / kSector);
    (joliet ? dir.jolietLocation : dir.location) = location;
    const uint32_t start = offset_;
    const bool rr = options_.rockRidge && !joliet;
    const LCDFile& parent = dir.parent ? *dir.parent : dir;

    Record self;
    self.location = uint32_t(location);
    self.length = joliet ? dir.jolietBytes : dir.isoBytes;
    self.directory = true;
    self.identifier = std::string(1, '\0');
    if (rr)
        self.systemUse = LCDRockRidge::Entries(dir, dir.parent ? LCDRockRidge::Record::Self
                                                               : LCDRockRidge::Record::RootSelf);
    PutRecord(self, write);

    Record up;
    up.location = uint32_t(joliet ? parent.jolietLocation : parent.location);
    up.length = joliet ? parent.jolietBytes : parent.isoBytes;
    up.directory = true;
    up.identifier = std::string(1, '\1');
    if (rr)
        up.systemUse = LCDRockRidge::Entries(parent, LCDRockRidge::Record::Parent);
    PutRecord(up, write);

    auto child = [&](const LCDFile& c) {
        Record r;
        r.directory = c.isDirectory;
        if (c.isDirectory) {
            r.location = uint32_t(joliet ? c.jolietLocation : c.location);
            r.length = joliet ? c.jolietBytes : c.isoBytes;
        } else {
            r.location = uint32_t(c.location);
            r.length = c.size;
        }
        r.identifier = joliet ? Ucs2Bytes(c.JolietIdentifier()) : c.IsoIdentifier();
        r.date = c.posix.modified;
        if (rr)
            r.systemUse = LCDRockRidge::Entries(c, LCDRockRidge::Record::Entry);
        PutRecord(r, write);
    };
    if (joliet) {
        // Folders first, then files; links have no Joliet form.
        for (auto& c : dir.children)
            if (c->isDirectory)
                child(*c);
        for (auto& c : dir.children)
            if (!c->isDirectory && !c->isLink)
                child(*c);
    } else {
        for (auto& c : dir.children)
            child(*c);
    }
    Align(offset_);
    (joliet ? dir.jolietBytes : dir.isoBytes) = offset_ - start;

    for (auto& c : dir.children)
        if (c->isDirectory)
            Folder(*c, write, joliet);
}

void LCDIsoLayout::PutRecord(const Record& r, bool write)
{
    const size_t nameBytes = r.identifier.size();
    const size_t fixed = 33 + nameBytes + (nameBytes % 2 == 0 ? 1 : 0);
    // A record is at most 255 bytes and of even length: 254.
    constexpr size_t kMaxRecord = 254;

    // What fits into the record stays there; the rest goes to the continuation
    // area, in pieces that each lie within one sector, chained by CE entries.
    size_t all = fixed;
    for (const Bytes& e : r.systemUse)
        all += e.size();
    size_t inRecord = r.systemUse.size();
    size_t used = fixed;
    if (all > kMaxRecord) {
        inRecord = 0;
        while (inRecord < r.systemUse.size() &&
               used + r.systemUse[inRecord].size() + LCDRockRidge::kContinuationBytes <= kMaxRecord)
            used += r.systemUse[inRecord++].size();
        used += LCDRockRidge::kContinuationBytes;
    } else {
        used = all;
    }
    struct Piece {
        size_t first, count;
        uint32_t offset, bytes;
    };
    std::vector<Piece> pieces;
    for (size_t i = inRecord; i < r.systemUse.size();) {
        size_t rest = 0;
        for (size_t j = i; j < r.systemUse.size(); ++j)
            rest += r.systemUse[j].size();
        Piece p{i, 0, 0, 0};
        if (rest <= kSector) {
            p.count = r.systemUse.size() - i;
            p.bytes = uint32_t(rest);
        } else {
            while (i + p.count < r.systemUse.size() &&
                   p.bytes + r.systemUse[i + p.count].size() + LCDRockRidge::kContinuationBytes <= kSector)
                p.bytes += uint32_t(r.systemUse[i + p.count++].size());
            p.bytes += LCDRockRidge::kContinuationBytes;
        }
        if (ceOffset_ % kSector + p.bytes > kSector)
            Align(ceOffset_);
        p.offset = ceOffset_;
        ceOffset_ += p.bytes;
        i += p.count;
        pieces.push_back(p);
    }
    const size_t length = used + (used % 2);
    if (offset_ % kSector + length > kSector)
        Align(offset_);
    const uint32_t at = offset_;
    offset_ += uint32_t(length);
    if (!write)
        return;

    const uint32_t ceBase = uint32_t(options_.start + kFirstDirectory + d1_ + d2_ + PathTableSectors());
    auto ce = [&](const Piece& p) {
        return LCDRockRidge::Continuation(ceBase + p.offset / kSector, p.offset % kSector, p.bytes);
    };
    uint8_t* d = dirArea_.data() + at;
    d[0] = uint8_t(length);
    Both32(d + 2, r.location);
    Both32(d + 10, r.length);
    if (r.date >= 0)
        LCDIsoDate::Record(r.date, d + 18);
    d[25] = r.directory ? 0x02 : 0x00;
    Both16(d + 28, 1);
    d[32] = uint8_t(nameBytes);
    std::memcpy(d + 33, r.identifier.data(), nameBytes);
    uint8_t* su = d + fixed;
    for (size_t i = 0; i < inRecord; ++i) {
        std::memcpy(su, r.systemUse[i].data(), r.systemUse[i].size());
        su += r.systemUse[i].size();
    }
    if (!pieces.empty()) {
        const Bytes e = ce(pieces[0]);
        std::memcpy(su, e.data(), e.size());
    }
    for (size_t k = 0; k < pieces.size(); ++k) {
        uint8_t* c = ceArea_.data() + pieces[k].offset;
        for (size_t i = pieces[k].first; i < pieces[k].first + pieces[k].count; ++i) {
            std::memcpy(c, r.systemUse[i].data(), r.systemUse[i].size());
            c += r.systemUse[i].size();
        }
        if (k + 1 < pieces.size()) {
            const Bytes e = ce(pieces[k + 1]);
            std::memcpy(c, e.data(), e.size());
        }
    }
}

std::vector<uint8_t> LCDIsoLayout::PathTable(bool joliet, bool bigEndian) const
{
    // The records follow one another across sector boundaries: a reader takes
    // the table as one run of bytes of the recorded size.
    Bytes out;
    for (const LCDFile* d : directories_) {
        const std::string name = !d->parent ? std::string(1, '\0')
                                 : joliet   ? Ucs2Bytes(d->longName)
                                            : d->shortName;
        const size_t at = out.size();
        out.resize(at + 8 + name.size() + (name.size() % 2), 0);
        uint8_t* p = out.data() + at;
        p[0] = uint8_t(name.size());
        const uint32_t location = uint32_t(joliet ? d->jolietLocation : d->location);
        const uint16_t parent = d->parent ? d->parent->directoryNumber : 1;
        if (bigEndian) {
            PutBE32(p + 2, location);
            PutBE16(p + 6, parent);
        } else {
            PutLE32(p + 2, location);
            PutLE16(p + 6, parent);
        }
        std::memcpy(p + 8, name.data(), name.size());
    }
    return out;
}

void LCDIsoLayout::RootRecord(uint8_t* d, const LCDFile& root, bool joliet) const
{
    d[0] = 34;
    Both32(d + 2, uint32_t(joliet ? root.jolietLocation : root.location));
    Both32(d + 10, joliet ? root.jolietBytes : root.isoBytes);
    LCDIsoDate::Record(options_.now, d + 18);
    d[25] = 0x02;
    Both16(d + 28, 1);
    d[32] = 1;
    d[33] = 0;
}

void LCDIsoLayout::Descriptor(uint8_t* s, bool joliet, const LCDFile& root) const
{
    s[0] = joliet ? 2 : 1;
    std::memcpy(s + 1, "CD001", 5);
    s[6] = 1;
    if (joliet) {
        PutUcs2Field(s + 8, u"", 16);
        PutUcs2Field(s + 40, LCDIsoNames::Ucs2(options_.label), 16);
        std::memcpy(s + 88, "%/E", 3);
        for (size_t f = 190; f < 702; f += 128)
            PutUcs2Field(s + f, u"", 64);
        for (size_t f = 702; f < 813; f += 37)
            PutUcs2Field(s + f, u"", 18);
    } else {
        std::memset(s + 8, ' ', 32);
        std::memset(s + 40, ' ', 32);
        const std::string id = LCDIsoNames::IsoChars(options_.label, 32, true);
        std::memcpy(s + 40, id.data(), id.size());
        std::memset(s + 190, ' ', 813 - 190);
    }
    // Counted from sector 0 of the disc: an image after an earlier session
    // spans the sectors before it too.
    Both32(s + 80, uint32_t(options_.start + imageSectors_));
    Both16(s + 120, 1);
    Both16(s + 124, 1);
    Both16(s + 128, uint16_t(kSector));
    const int32_t tables = options_.start + kFirstDirectory + d1_ + d2_;
    if (joliet) {
        Both32(s + 132, uint32_t(ptJoliet_.size()));
        PutLE32(s + 140, uint32_t(tables + 2 * pIso_));
        PutBE32(s + 148, uint32_t(tables + 2 * pIso_ + pJoliet_));
    } else {
        Both32(s + 132, uint32_t(ptIso_.size()));
        PutLE32(s + 140, uint32_t(tables));
        PutBE32(s + 148, uint32_t(tables + pIso_));
    }
    RootRecord(s + 156, root, joliet);
    LCDIsoDate::Descriptor(options_.now, s + 813);
    LCDIsoDate::Descriptor(options_.now, s + 830);
    std::memset(s + 847, '0', 16);
    std::memset(s + 864, '0', 16);
    s[881] = 1;
}
