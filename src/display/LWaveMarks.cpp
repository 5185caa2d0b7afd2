#include "display/LWaveMarks.h"

#include <algorithm>
#include <cstdlib>

namespace {

const std::string kEllipsis = "\xE2\x80\xA6";

// Rows for the regions by their frames: each takes the first row whose bands
// all end before it starts, so the rows stay the same at every zoom. Regions
// beyond the last row share it.
std::vector<int32_t> RegionRows(const std::vector<LWaveRegion>& regions, int32_t rows)
{
    rows = std::max(rows, 1);
    std::vector<size_t> order(regions.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return regions[a].start < regions[b].start; });
    std::vector<int32_t> rowOf(regions.size(), 0);
    std::vector<int64_t> rowEnd;
    for (size_t i : order) {
        const LWaveRegion& r = regions[i];
        int32_t row = 0;
        while (row < int32_t(rowEnd.size()) && rowEnd[size_t(row)] > r.start)
            ++row;
        if (row >= rows)
            row = rows - 1;
        if (row >= int32_t(rowEnd.size()))
            rowEnd.push_back(r.end);
        else
            rowEnd[size_t(row)] = std::max<int64_t>(rowEnd[size_t(row)], r.end);
        rowOf[i] = row;
    }
    return rowOf;
}

} // namespace

std::string LWaveMarks::Elide(const std::string& text, int32_t width, const LTextWidth& textWidth)
{
    if (textWidth(text) <= width)
        return text;
    std::string cut = text;
    while (!cut.empty()) {
        // A whole UTF-8 character: its continuation bytes, then its first byte.
        while (!cut.empty()) {
            const unsigned char c = static_cast<unsigned char>(cut.back());
            cut.pop_back();
            if ((c & 0xC0) != 0x80)
                break;
        }
        if (!cut.empty() && textWidth(cut + kEllipsis) <= width)
            return cut + kEllipsis;
    }
    return {};
}

std::vector<LWaveMarks::Flag> LWaveMarks::Flags(const LWaveMapping& map, const LTextWidth& textWidth,
                                                 int32_t rows) const
{
    std::vector<Flag> flags;
    if (map.ViewLength() < 1)
        return flags;
    const int32_t width = map.Width();
    for (const LWaveBookmark& b : bookmarks_) {
        const int64_t column = map.ColumnOf(b.frame);
        if (column < 0 || column >= width)
            continue;
        Flag f{b.index, int32_t(column), int32_t(column), 0, -1, b.name};
        f.width = textWidth(b.name) + 2 * kPadding;
        flags.push_back(std::move(f));
    }
    std::stable_sort(flags.begin(), flags.end(), [](const Flag& a, const Flag& b) { return a.column < b.column; });
    std::vector<int32_t> rowEnd(size_t(std::max(rows, 0)), INT32_MIN);
    for (Flag& f : flags) {
        // A flag hangs right of its line, or left of it at the right edge.
        f.left = f.column + f.width <= width ? f.column : std::max(f.column + 1 - f.width, 0);
        f.width = std::min(f.width, width - f.left);
        f.row = -1;
        for (size_t r = 0; r < rowEnd.size(); ++r)
            if (rowEnd[r] < f.left) {
                f.row = int32_t(r);
                rowEnd[r] = f.left + f.width;
                break;
            }
        if (f.row < 0) {
            f.width = 0;
            f.text.clear();
        }
    }
    return flags;
}

int32_t LWaveMarks::RowsNeeded(int32_t rows) const
{
    const std::vector<int32_t> rowOf = RegionRows(regions_, rows);
    int32_t n = 0;
    for (int32_t r : rowOf)
        n = std::max(n, r + 1);
    return n;
}

std::vector<LWaveMarks::Band> LWaveMarks::Bands(const LWaveMapping& map, const LTextWidth& textWidth,
                                                 int32_t rows) const
{
    std::vector<Band> bands;
    if (map.ViewLength() < 1)
        return bands;
    const int32_t width = map.Width();
    const std::vector<int32_t> rowOf = RegionRows(regions_, rows);
    for (size_t i = 0; i < regions_.size(); ++i) {
        const LWaveRegion& r = regions_[i];
        const int64_t a = map.ColumnOf(r.start), b = map.ColumnOf(std::max(r.end, r.start));
        if (b < 0 || a >= width)
            continue;
        Band band{r.index, int32_t(std::max<int64_t>(a, 0)), int32_t(std::min<int64_t>(b, width)), rowOf[i], {}};
        band.right = std::max(band.right, band.left + 1);
        band.text = Elide(r.name, band.right - band.left - 2 * kPadding, textWidth);
        bands.push_back(std::move(band));
    }
    return bands;
}

const LWaveMarks::Flag* LWaveMarks::FlagAt(const std::vector<Flag>& flags, int32_t column, int32_t row)
{
    if (row >= 0)
        for (const Flag& f : flags)
            if (f.row == row && f.width > 0 && column >= f.left && column < f.left + f.width)
                return &f;
    const Flag* best = nullptr;
    for (const Flag& f : flags) {
        const int32_t d = std::abs(f.column - column);
        if (d <= kHitSlop && (!best || d < std::abs(best->column - column)))
            best = &f;
    }
    return best;
}

const LWaveMarks::Band* LWaveMarks::BandAt(const std::vector<Band>& bands, int32_t column, int32_t row)
{
    const Band* best = nullptr;
    for (const Band& b : bands)
        if (b.row == row && column >= b.left && column < b.right &&
            (!best || b.right - b.left < best->right - best->left))
            best = &b;
    return best;
}
