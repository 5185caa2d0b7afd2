#pragma once
#include <cstdint>

// One Layer III Huffman code table as the standard lists it: `size` x `size`
// entries (x, y) in row-major order, each a code word of `lengths[i]` bits
// (sign bits excluded). For the quadruple tables size is 4 and the 16 entries
// are indexed by the four one-bit values v w x y. A table with size 0 is unused.
struct MP3HuffmanCodeTable {
    int32_t size;
    int32_t linbits;  // extra bits read after a value of 15 (pair tables 16-31)
    const uint16_t* codes;
    const uint8_t* lengths;
};

// The pair table for a granule region's table_select (0-31); 0, 4 and 14 have size 0.
const MP3HuffmanCodeTable& MP3PairCodeTable(int32_t select);
// Quadruple table A (select 0) or B (select 1) for the count1 region.
const MP3HuffmanCodeTable& MP3QuadCodeTable(int32_t select);
