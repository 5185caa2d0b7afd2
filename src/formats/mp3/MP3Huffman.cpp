#include "formats/mp3/MP3Huffman.h"

#include <algorithm>

#include "formats/mp3/MP3HuffmanTables.h"

namespace {

constexpr int32_t kMaxIndexBits = 8;

struct Code {
    uint32_t bits;    // left-aligned in 32 bits
    int32_t length;
    int32_t value;
};

// Fills the sub-table at `base` (2^indexBits entries) for the codes that share the
// first `depth` bits, appending deeper sub-tables at the end of `entries`.
void Fill(std::vector<uint32_t>& entries, size_t base, int32_t indexBits, int32_t depth, const std::vector<Code>& codes)
{
    const uint32_t slots = 1u << indexBits;
    for (uint32_t slot = 0; slot < slots; ++slot) {
        // Codes whose bits [depth, depth + indexBits) equal `slot`.
        std::vector<Code> group;
        for (const Code& c : codes) {
            uint32_t idx = (c.bits << depth) >> (32 - indexBits);
            if (c.length <= depth + indexBits) {
                // A short code covers every slot that starts with it.
                uint32_t span = 1u << (depth + indexBits - c.length);
                uint32_t first = idx & ~(span - 1);
                if (slot >= first && slot < first + span)
                    entries[base + slot] = (uint32_t(c.length) << 16) | uint32_t(c.value);
            } else if (idx == slot) {
                group.push_back(c);
            }
        }
        if (group.empty())
            continue;
        int32_t longest = 0;
        for (const Code& c : group)
            longest = std::max(longest, c.length);
        int32_t subBits = std::min(longest - depth - indexBits, kMaxIndexBits);
        size_t sub = entries.size();
        entries.resize(sub + (size_t(1) << subBits), uint32_t(1) << 16);
        entries[base + slot] = 0x80000000u | (uint32_t(subBits) << 16) | uint32_t(sub);
        Fill(entries, sub, subBits, depth + indexBits, group);
    }
}

} // namespace

const MP3Huffman& MP3Huffman::Get()
{
    static const MP3Huffman instance;
    return instance;
}

MP3Huffman::MP3Huffman()
{
    for (int32_t i = 0; i < 32; ++i) {
        const MP3HuffmanCodeTable& t = MP3PairCodeTable(i);
        if (t.size > 0)
            Build(pair_[i], t.size * t.size, t.codes, t.lengths);
        // Values are x * 16 + y whatever the table's size.
        for (uint32_t& e : pair_[i].entries) {
            if (!(e & 0x80000000u)) {
                uint32_t v = e & 0xFFFF;
                e = (e & 0xFFFF0000u) | ((v / uint32_t(t.size)) << 4) | (v % uint32_t(t.size));
            }
        }
    }
    for (int32_t i = 0; i < 2; ++i) {
        const MP3HuffmanCodeTable& t = MP3QuadCodeTable(i);
        Build(quad_[i], 16, t.codes, t.lengths);
    }
}

void MP3Huffman::Build(Tree& tree, int32_t count, const uint16_t* codes, const uint8_t* lengths)
{
    std::vector<Code> list;
    int32_t longest = 0;
    for (int32_t i = 0; i < count; ++i) {
        Code c{uint32_t(codes[i]) << (32 - lengths[i]), lengths[i], i};
        list.push_back(c);
        longest = std::max(longest, c.length);
    }
    tree.rootBits = std::min(longest, kMaxIndexBits);
    // Slots no code reaches (none in the standard tables) decode as value 0 of length 1.
    tree.entries.assign(size_t(1) << tree.rootBits, uint32_t(1) << 16);
    Fill(tree.entries, 0, tree.rootBits, 0, list);
}
