#include "cd/LCDRockRidge.h"

#include <cstring>
#include <ctime>
#include <string>

#include "cd/LCDIsoDate.h"
#include "core/ByteOrder.h"

namespace LCDRockRidge {

namespace {

using Bytes = std::vector<uint8_t>;

void Both32(uint8_t* p, uint32_t v)
{
    PutLE32(p, v);
    PutBE32(p + 4, v);
}

Bytes Head(const char* signature, size_t length)
{
    Bytes e(length, 0);
    e[0] = uint8_t(signature[0]);
    e[1] = uint8_t(signature[1]);
    e[2] = uint8_t(length);
    e[3] = 1;
    return e;
}

Bytes Px(const LCDFile::Posix& p)
{
    Bytes e = Head("PX", 36);
    Both32(&e[4], p.mode);
    Both32(&e[12], p.links);
    Both32(&e[20], p.uid);
    Both32(&e[28], p.gid);
    return e;
}

Bytes Tf(const LCDFile::Posix& p)
{
    // Modification, access and attribute change, seven bytes each.
    Bytes e = Head("TF", 5 + 3 * 7);
    e[4] = 0x0E;
    LCDIsoDate::Record(p.modified, &e[5]);
    LCDIsoDate::Record(p.accessed, &e[12]);
    LCDIsoDate::Record(p.changed, &e[19]);
    return e;
}

// NM entries holding `name`, 250 bytes each at most.
void Nm(const std::string& name, std::vector<Bytes>& out)
{
    constexpr size_t kPiece = 250;
    for (size_t at = 0; at < name.size(); at += kPiece) {
        const size_t n = std::min(kPiece, name.size() - at);
        Bytes e = Head("NM", 5 + n);
        e[4] = at + n < name.size() ? 0x01 : 0x00;
        std::memcpy(&e[5], name.data() + at, n);
        out.push_back(std::move(e));
    }
}

// SL entries of a link's target: one component record per path component (a
// long one split with CONTINUE), as many records as fit into 255 bytes per entry.
void Sl(const std::string& target, std::vector<Bytes>& out)
{
    std::vector<Bytes> components;
    size_t at = 0;
    if (!target.empty() && target[0] == '/') {
        components.push_back({0x08, 0});  // root
        at = 1;
    }
    while (at <= target.size()) {
        size_t end = target.find('/', at);
        if (end == std::string::npos)
            end = target.size();
        const std::string part = target.substr(at, end - at);
        if (part == ".") {
            components.push_back({0x02, 0});
        } else if (part == "..") {
            components.push_back({0x04, 0});
        } else if (!part.empty()) {
            constexpr size_t kPiece = 200;
            for (size_t p = 0; p < part.size(); p += kPiece) {
                const size_t n = std::min(kPiece, part.size() - p);
                Bytes c(2 + n);
                c[0] = p + n < part.size() ? 0x01 : 0x00;
                c[1] = uint8_t(n);
                std::memcpy(&c[2], part.data() + p, n);
                components.push_back(std::move(c));
            }
        }
        at = end + 1;
    }
    size_t i = 0;
    do {
        Bytes e = Head("SL", 5);
        while (i < components.size() && e.size() + components[i].size() <= 255) {
            e.insert(e.end(), components[i].begin(), components[i].end());
            ++i;
        }
        e[4] = i < components.size() ? 0x01 : 0x00;
        e[2] = uint8_t(e.size());
        out.push_back(std::move(e));
    } while (i < components.size());
}

Bytes Er()
{
    static const char* id = "RRIP_1991A";
    static const char* descriptor = "THE ROCK RIDGE INTERCHANGE PROTOCOL PROVIDES SUPPORT FOR POSIX FILE SYSTEM SEMANTICS";
    static const char* source = "PLEASE CONTACT DISC PUBLISHER FOR SPECIFICATION SOURCE.  SEE PUBLISHER IDENTIFIER IN "
                                "PRIMARY VOLUME DESCRIPTOR FOR CONTACT INFORMATION.";
    const size_t li = std::strlen(id), ld = std::strlen(descriptor), ls = std::strlen(source);
    Bytes e = Head("ER", 8 + li + ld + ls);
    e[4] = uint8_t(li);
    e[5] = uint8_t(ld);
    e[6] = uint8_t(ls);
    e[7] = 1;
    std::memcpy(&e[8], id, li);
    std::memcpy(&e[8 + li], descriptor, ld);
    std::memcpy(&e[8 + li + ld], source, ls);
    return e;
}

} // namespace

std::vector<Bytes> Entries(const LCDFile& node, Record record)
{
    std::vector<Bytes> out;
    if (record == Record::RootSelf)
        out.push_back({'S', 'P', 7, 1, 0xBE, 0xEF, 0});
    out.push_back(Px(node.posix));
    out.push_back(Tf(node.posix));
    if (record == Record::Entry) {
        Nm(node.posixName, out);
        if (node.isLink)
            Sl(node.linkTarget, out);
    }
    if (record == Record::RootSelf)
        out.push_back(Er());
    return out;
}

Bytes Continuation(uint32_t sector, uint32_t offset, uint32_t bytes)
{
    Bytes e = Head("CE", kContinuationBytes);
    Both32(&e[4], sector);
    Both32(&e[12], offset);
    Both32(&e[20], bytes);
    return e;
}

} // namespace LCDRockRidge
