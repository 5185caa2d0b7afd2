#pragma once
#include <cstdint>
#include <vector>

#include "formats/mp3/MP3BitReader.h"

// Table-driven decoder for the Layer III Huffman codes, built once per process
// from the code tables. Each table is a tree of look-up tables indexed by up to
// eight bits at a time.
class MP3Huffman {
public:
    // The shared instance; thread-safe to obtain and to use.
    static const MP3Huffman& Get();

    // Decodes one pair with pair table `select` (0-31) and returns x * 16 + y, each
    // 0-15 before linbits and signs. Tables without codes (0, 4, 14) give 0 and read nothing.
    int32_t DecodePair(MP3BitReader& bits, int32_t select) const { return Decode(pair_[select & 31], bits); }
    // Decodes one count1 quadruple with table A (0) or B (1): v*8 + w*4 + x*2 + y.
    int32_t DecodeQuad(MP3BitReader& bits, int32_t select) const { return Decode(quad_[select & 1], bits); }

private:
    // Entries: a leaf holds (code length << 16) | value; a link has bit 31 set and
    // holds (index bits << 16) | offset of its sub-table.
    struct Tree {
        std::vector<uint32_t> entries;
        int32_t rootBits = 0;
    };

    MP3Huffman();
    static void Build(Tree& tree, int32_t count, const uint16_t* codes, const uint8_t* lengths);

    static int32_t Decode(const Tree& tree, MP3BitReader& bits)
    {
        if (tree.rootBits == 0)
            return 0;
        const uint32_t window = bits.Peek32();
        const uint32_t* t = tree.entries.data();
        int32_t used = 0;
        int32_t n = tree.rootBits;
        uint32_t e = t[window >> (32 - n)];
        while (e & 0x80000000u) {
            used += n;
            n = int32_t((e >> 16) & 31);
            e = t[(e & 0xFFFF) + ((window << used) >> (32 - n))];
        }
        bits.Skip(int32_t(e >> 16));
        return int32_t(e & 0xFFFF);
    }

    Tree pair_[32];
    Tree quad_[2];
};
