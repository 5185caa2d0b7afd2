#pragma once
#include <cstdint>
#include <string>

struct LCDToc;

// The two identifiers by which databases know a disc, from its table of
// contents (track starts and lead-out as LBAs; the MSF addresses the ids are
// defined over are 150 sectors later).
class LCDDiscIds {
public:
    // The CDDB (freedb, gnudb) disc id: the digit sums of every track's start
    // in whole seconds mod 255, the playing time in seconds, the track count.
    // The time is the lead-out's whole seconds less the first track's, as
    // every CDDB server computes it: the difference of the two addresses taken
    // in seconds would differ by one for some discs whose first track starts
    // after 0, and the disc would not be found.
    static uint32_t Cddb(const LCDToc& toc);
    // "%08x" of it.
    static std::string CddbText(uint32_t id);
    // The MusicBrainz disc id: the SHA-1 of the first and last track numbers
    // ("%02X") and the lead-out and 99 track addresses ("%08X", 0 for absent
    // tracks), in base 64 with ".", "_" and "-" for "+", "/" and "=". 28 characters.
    static std::string MusicBrainz(const LCDToc& toc);
    // Total playing time in seconds as a CDDB query sends it: the lead-out in whole seconds.
    static int32_t CddbSeconds(const LCDToc& toc);
};
