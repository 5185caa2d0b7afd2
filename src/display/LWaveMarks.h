#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "display/LTimeRuler.h"
#include "display/LWaveMapping.h"

// A bookmark of the document a wave view shows; `index` is its place in the
// main window's list.
struct LWaveBookmark {
    std::string name;
    int32_t frame;
    size_t index;
};

// A region of the document, [start, end) in frames.
struct LWaveRegion {
    std::string name;
    int32_t start;
    int32_t end;
    size_t index;
};

// Where a document's bookmarks and regions are drawn over a view of a given
// mapping, and what lies under the pointer. Bookmarks are lines with a flag
// holding their name at the top of the view (flags that would cover each other
// drop to the next row; past the last row only the line shows); regions are
// bands in rows of the time ruler, overlapping ones in different rows, their
// names shortened to fit. Columns are wave columns; rows count from the top.
class LWaveMarks {
public:
    // Pixels of room around a name in its flag or band.
    static constexpr int32_t kPadding = 3;
    // How far from a bookmark's line a pointer still hits it.
    static constexpr int32_t kHitSlop = 3;

    struct Flag {
        size_t index;        // the bookmark's
        int32_t column;      // its line
        int32_t left;        // the flag's box, columns [left, left + width)
        int32_t width;       // 0: no room for the flag, only the line
        int32_t row;         // rows of flag height from the top
        std::string text;
    };
    struct Band {
        size_t index;    // the region's
        int32_t left;    // columns [left, right), at least one wide
        int32_t right;
        int32_t row;
        std::string text;  // the name, shortened with "…" or empty to fit
    };

    void SetBookmarks(std::vector<LWaveBookmark> bookmarks) { bookmarks_ = std::move(bookmarks); }
    void SetRegions(std::vector<LWaveRegion> regions) { regions_ = std::move(regions); }
    const std::vector<LWaveBookmark>& Bookmarks() const { return bookmarks_; }
    const std::vector<LWaveRegion>& Regions() const { return regions_; }

    // The visible bookmarks' lines and flags, left to right, in at most `rows` rows.
    std::vector<Flag> Flags(const LWaveMapping& map, const LTextWidth& textWidth, int32_t rows) const;
    // The visible regions' bands in at most `rows` rows (rows below 1 count as 1).
    std::vector<Band> Bands(const LWaveMapping& map, const LTextWidth& textWidth, int32_t rows) const;
    // Rows the bands of the whole document need, so the ruler can size itself
    // once rather than at every scroll; at most `rows`.
    int32_t RowsNeeded(int32_t rows) const;

    // The bookmark under a pointer at `column` in flag row `row` (-1: below the
    // flags): its flag, else the nearest line within kHitSlop. Null for none.
    static const Flag* FlagAt(const std::vector<Flag>& flags, int32_t column, int32_t row);
    // The region whose band holds the pointer; the narrowest when several do.
    static const Band* BandAt(const std::vector<Band>& bands, int32_t column, int32_t row);
    // `text` cut to at most `width` pixels, ending in "…" when cut; empty when
    // not even one character fits.
    static std::string Elide(const std::string& text, int32_t width, const LTextWidth& textWidth);

private:
    std::vector<LWaveBookmark> bookmarks_;
    std::vector<LWaveRegion> regions_;
};
