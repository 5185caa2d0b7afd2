#include "cd/LCDDiscIds.h"

#include <cstdio>

#include "cd/LCDToc.h"
#include "cd/LSha1.h"

namespace {

constexpr int32_t kLeadIn = 150;  // sectors before LBA 0

int32_t Seconds(int32_t lba) { return (lba + kLeadIn) / 75; }

} // namespace

uint32_t LCDDiscIds::Cddb(const LCDToc& toc)
{
    if (toc.count <= 0 || toc.starts.size() < size_t(toc.count) + 1)
        return 0;
    uint32_t n = 0;
    for (int32_t i = 0; i < toc.count; ++i)
        for (int32_t s = Seconds(toc.starts[size_t(i)]); s > 0; s /= 10)
            n += uint32_t(s % 10);
    const int32_t t = Seconds(toc.starts.back()) - Seconds(toc.starts.front());
    return (n % 255) << 24 | (uint32_t(t) & 0xFFFF) << 8 | uint32_t(toc.count & 0xFF);
}

std::string LCDDiscIds::CddbText(uint32_t id)
{
    char text[16];
    std::snprintf(text, sizeof text, "%08x", id);
    return text;
}

int32_t LCDDiscIds::CddbSeconds(const LCDToc& toc) { return toc.starts.empty() ? 0 : Seconds(toc.starts.back()); }

std::string LCDDiscIds::MusicBrainz(const LCDToc& toc)
{
    if (toc.count <= 0 || toc.starts.size() < size_t(toc.count) + 1)
        return {};
    const int32_t first = toc.firstTrack, last = toc.firstTrack + toc.count - 1;
    if (last > 99)
        return {};
    char field[16];
    std::string text;
    std::snprintf(field, sizeof field, "%02X%02X", unsigned(first), unsigned(last));
    text += field;
    std::snprintf(field, sizeof field, "%08X", unsigned(toc.starts.back() + kLeadIn));
    text += field;
    for (int32_t number = 1; number <= 99; ++number) {
        const bool present = number >= first && number <= last;
        std::snprintf(field, sizeof field, "%08X",
                      present ? unsigned(toc.starts[size_t(number - first)] + kLeadIn) : 0u);
        text += field;
    }
    const std::array<uint8_t, 20> digest = LSha1::Of(text);
    static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789._";
    std::string id;
    for (size_t i = 0; i < digest.size(); i += 3) {
        const uint32_t b0 = digest[i], b1 = i + 1 < digest.size() ? digest[i + 1] : 0,
                       b2 = i + 2 < digest.size() ? digest[i + 2] : 0;
        const uint32_t v = b0 << 16 | b1 << 8 | b2;
        id += kAlphabet[(v >> 18) & 63];
        id += kAlphabet[(v >> 12) & 63];
        id += i + 1 < digest.size() ? kAlphabet[(v >> 6) & 63] : '-';
        id += i + 2 < digest.size() ? kAlphabet[v & 63] : '-';
    }
    return id;
}
