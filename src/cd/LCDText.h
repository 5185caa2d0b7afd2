#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

// CD-TEXT of a disc: the album's and each track's title and performer, as the
// 18-byte packs of the lead-in (pack types 0x80 title, 0x81 performer, 0x8F size
// information; ISO 8859-1 text, CRC-16/CCITT inverted). A writer sends them to the
// lead-in in 96-byte blocks of four packs, each pack spread over 24 bytes of six
// bits (bits 5-0, most significant bits first), as they lie in the R-W subchannel.
class LCDText {
public:
    using Pack = std::array<uint8_t, 18>;
    // Index 0 is the disc, index n track n (first track 1).
    std::vector<std::string> titles;
    std::vector<std::string> performers;

    // The packs of this text (titles, performers, size information), with
    // sequence numbers and CRCs. Text is UTF-8 here and ISO 8859-1 in the packs
    // (characters it lacks become "?").
    std::vector<Pack> Packs() const;
    // Reads packs back; packs whose CRC is wrong, of other types or blocks are
    // skipped. False when no title or performer pack was good.
    bool Parse(const std::vector<Pack>& packs);

    // Four packs as one 96-byte lead-in block, and back.
    static void ToLeadIn(const Pack* four, uint8_t* block96);
    static void FromLeadIn(const uint8_t* block96, Pack* four);
    static uint16_t Crc(const uint8_t* bytes, size_t length);
    // The packs of `packs` laid into whole lead-in blocks (the last one padded by
    // repeating from the first pack).
    static std::vector<uint8_t> LeadInBlocks(const std::vector<Pack>& packs);
};
