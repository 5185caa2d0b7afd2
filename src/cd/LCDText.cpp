#include "cd/LCDText.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace {

std::string ToLatin1(const std::string& utf8)
{
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        const unsigned char c = (unsigned char)utf8[i];
        uint32_t code = c;
        size_t n = 1;
        if (c >= 0xC0 && c < 0xE0 && i + 1 < utf8.size())
            code = ((c & 0x1Fu) << 6) | ((unsigned char)utf8[i + 1] & 0x3Fu), n = 2;
        else if (c >= 0xE0 && c < 0xF0)
            code = 0x100, n = 3;
        else if (c >= 0xF0)
            code = 0x100, n = 4;
        else if (c >= 0x80)
            code = 0x100;
        out += code < 0x20 || code >= 0x100 || (code >= 0x7F && code < 0xA0) ? '?' : char(code);
        i += n;
    }
    return out;
}

std::string FromLatin1(const std::string& latin1)
{
    std::string out;
    for (unsigned char c : latin1) {
        if (c < 0x20 || (c >= 0x7F && c < 0xA0))
            out += '?';
        else if (c < 0x80)
            out += char(c);
        else {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

} // namespace

uint16_t LCDText::Crc(const uint8_t* bytes, size_t length)
{
    uint16_t crc = 0;
    for (size_t i = 0; i < length; ++i) {
        crc = uint16_t(crc ^ (bytes[i] << 8));
        for (int b = 0; b < 8; ++b)
            crc = uint16_t(crc & 0x8000 ? (crc << 1) ^ 0x1021 : crc << 1);
    }
    return uint16_t(~crc);
}

std::vector<LCDText::Pack> LCDText::Packs() const
{
    std::vector<Pack> packs;
    uint8_t counts[16] = {};
    auto emit = [&](uint8_t type, const std::vector<std::string>& texts) {
        if (std::all_of(texts.begin(), texts.end(), [](const std::string& t) { return t.empty(); }))
            return;
        std::string stream;
        std::vector<uint8_t> owner;  // the text each byte belongs to
        for (size_t i = 0; i < texts.size(); ++i) {
            const std::string t = ToLatin1(texts[i]).substr(0, 160);
            stream += t;
            stream += '\0';
            owner.insert(owner.end(), t.size() + 1, uint8_t(i));
        }
        for (size_t at = 0; at < stream.size(); at += 12) {
            Pack p{};
            p[0] = type;
            p[1] = owner[at];
            p[2] = uint8_t(packs.size());
            size_t startOfText = at;
            while (startOfText > 0 && owner[startOfText - 1] == owner[at])
                --startOfText;
            p[3] = uint8_t(std::min<size_t>(at - startOfText, 15));
            for (size_t k = 0; k < 12 && at + k < stream.size(); ++k)
                p[4 + k] = uint8_t(stream[at + k]);
            packs.push_back(p);
            ++counts[type & 0x0F];
        }
    };
    emit(0x80, titles);
    emit(0x81, performers);
    // Size information: three packs whose 36 bytes describe the block.
    uint8_t info[36] = {};
    info[0] = 0;  // ISO 8859-1
    info[1] = 1;
    info[2] = uint8_t(std::max<size_t>(std::max(titles.size(), performers.size()), 2) - 1);
    counts[0x0F] = 3;
    std::memcpy(info + 4, counts, 16);
    info[20] = uint8_t(packs.size() + 2);  // last sequence number of block 0
    info[28] = 0x09;                       // language code of block 0: English
    for (int k = 0; k < 3; ++k) {
        Pack p{};
        p[0] = 0x8F;
        p[1] = uint8_t(k);
        p[2] = uint8_t(packs.size());
        std::memcpy(p.data() + 4, info + 12 * k, 12);
        packs.push_back(p);
    }
    for (Pack& p : packs) {
        const uint16_t crc = Crc(p.data(), 16);
        p[16] = uint8_t(crc >> 8);
        p[17] = uint8_t(crc);
    }
    return packs;
}

bool LCDText::Parse(const std::vector<Pack>& packs)
{
    titles.clear();
    performers.clear();
    // The lead-in repeats its packs over and over: each sequence number counts once.
    std::map<uint8_t, Pack> bySequence;
    for (const Pack& p : packs) {
        const uint16_t crc = Crc(p.data(), 16);
        if ((p[3] & 0x70) == 0 && p[16] == uint8_t(crc >> 8) && p[17] == uint8_t(crc))
            bySequence.emplace(p[2], p);
    }
    bool any = false;
    for (uint8_t type : {uint8_t(0x80), uint8_t(0x81)}) {
        std::string stream;
        int32_t first = -1;
        for (const auto& [sequence, p] : bySequence) {
            if (p[0] != type || (p[1] & 0x80))
                continue;
            if (first < 0)
                first = p[1];
            stream.append(reinterpret_cast<const char*>(p.data() + 4), 12);
        }
        if (first < 0)
            continue;
        any = true;
        std::vector<std::string>& out = type == 0x80 ? titles : performers;
        size_t at = 0;
        for (int32_t n = first; at < stream.size() && n < 100; ++n) {
            size_t end = stream.find('\0', at);
            if (end == std::string::npos)
                end = stream.size();
            if (out.size() <= size_t(n))
                out.resize(size_t(n) + 1);
            out[size_t(n)] = FromLatin1(stream.substr(at, end - at));
            at = end + 1;
            // The padding after the last text is all zeros.
            if (at < stream.size() && stream.find_first_not_of('\0', at) == std::string::npos)
                break;
        }
    }
    return any;
}

void LCDText::ToLeadIn(const Pack* four, uint8_t* block96)
{
    for (int k = 0; k < 4; ++k) {
        const uint8_t* p = four[k].data();
        uint8_t* out = block96 + 24 * k;
        for (int s = 0; s < 24; ++s) {
            const int bit = s * 6;
            const uint32_t two = (uint32_t(p[bit / 8]) << 8) | (bit / 8 + 1 < 18 ? p[bit / 8 + 1] : 0);
            out[s] = uint8_t((two >> (10 - bit % 8)) & 0x3F);
        }
    }
}

void LCDText::FromLeadIn(const uint8_t* block96, Pack* four)
{
    for (int k = 0; k < 4; ++k) {
        Pack& p = four[k];
        p.fill(0);
        const uint8_t* in = block96 + 24 * k;
        for (int s = 0; s < 24; ++s) {
            const uint32_t v = in[s] & 0x3Fu;
            for (int b = 0; b < 6; ++b) {
                const int bit = s * 6 + b;
                if (v & (0x20u >> b))
                    p[size_t(bit / 8)] = uint8_t(p[size_t(bit / 8)] | (0x80 >> (bit % 8)));
            }
        }
    }
}

std::vector<uint8_t> LCDText::LeadInBlocks(const std::vector<Pack>& packs)
{
    std::vector<uint8_t> out;
    if (packs.empty())
        return out;
    const size_t blocks = (packs.size() + 3) / 4;
    out.resize(blocks * 96);
    for (size_t b = 0; b < blocks; ++b) {
        Pack four[4];
        for (size_t k = 0; k < 4; ++k)
            four[k] = packs[(b * 4 + k) % packs.size()];
        ToLeadIn(four, out.data() + b * 96);
    }
    return out;
}
