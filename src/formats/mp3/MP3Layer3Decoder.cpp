#include "formats/mp3/MP3Layer3Decoder.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "formats/mp3/MP3Huffman.h"
#include "formats/mp3/MP3HuffmanTables.h"
#include "formats/mp3/MP3LanesPlain.h"
#include "formats/mp3/MP3LanesSse2.h"

namespace {

const double kPi = std::acos(-1.0);

// MPEG-1 scale-factor bit lengths by scalefac_compress.
constexpr int32_t kSlen[2][16] = {
    {0, 0, 0, 0, 3, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4},
    {0, 1, 2, 3, 0, 1, 2, 3, 1, 2, 3, 1, 2, 3, 2, 3},
};

struct StereoTables {
    float aliasCs[8];  // butterfly i: cs and ca, and both in reverse order
    float aliasCa[8];
    float aliasCsReversed[8];
    float aliasCaReversed[8];
    float isRatio[7][2];  // MPEG-1 intensity: left and right factors by position
    StereoTables()
    {
        constexpr double ci[8] = {-0.6, -0.535, -0.33, -0.185, -0.095, -0.041, -0.0142, -0.0037};
        for (int32_t i = 0; i < 8; ++i) {
            double sq = std::sqrt(1.0 + ci[i] * ci[i]);
            aliasCs[i] = aliasCsReversed[7 - i] = float(1.0 / sq);
            aliasCa[i] = aliasCaReversed[7 - i] = float(ci[i] / sq);
        }
        for (int32_t p = 0; p < 7; ++p) {
            double s = std::sin(p * kPi / 12.0), c = std::cos(p * kPi / 12.0);
            isRatio[p][0] = float(s / (s + c));
            isRatio[p][1] = float(c / (s + c));
        }
    }
};

const StereoTables& Stereo()
{
    static const StereoTables tables;
    return tables;
}

constexpr float kInvSqrt2 = 0.70710678118654752f;

} // namespace

MP3Layer3Decoder::MP3Layer3Decoder(const MP3Header& first)
    : first_(first),
      channels_(first.GetChannels()),
      bands_(MP3Bands(first.version, first.sampleRateIndex)),
      mixedLongBands_(first.version == 0 ? 8 : 6)
{
    MP3Huffman::Get();
    MP3PowTables::Get();
    mixedLongLines_ = bands_.longBounds[mixedLongBands_];
    for (int32_t i = 0; i < 576; ++i)
        identityMap_[i] = uint16_t(i);
    // Short blocks arrive band by band, window by window; the filter bank wants each
    // frequency's three windows side by side: line (f, w) goes to 3 f + w.
    auto shortOrder = [&](uint16_t* map, int32_t firstBand) {
        for (int32_t b = firstBand; b < 13; ++b) {
            int32_t start = bands_.shortBounds[b], width = bands_.shortBounds[b + 1] - start;
            for (int32_t w = 0; w < 3; ++w)
                for (int32_t k = 0; k < width; ++k)
                    map[3 * start + w * width + k] = uint16_t(3 * (start + k) + w);
        }
    };
    shortOrder(shortMap_, 0);
    for (int32_t i = 0; i < 576; ++i)
        mixedMap_[i] = uint16_t(i);
    shortOrder(mixedMap_, 3);
    maps_[0] = identityMap_;
    maps_[1] = shortMap_;
    maps_[2] = mixedMap_;
    ResetFilters();
}

void MP3Layer3Decoder::ResetFilters()
{
    std::memset(overlap_, 0, sizeof overlap_);
    synthesis_.Reset();
}

int32_t MP3Layer3Decoder::MainDataBegin(const MP3Header& h, const uint8_t* side)
{
    return h.version == 0 ? (side[0] << 1) | (side[1] >> 7) : side[0];
}

bool MP3Layer3Decoder::ParseSideInfo(const MP3Header& h, const uint8_t* side, SideInfo& si) const
{
    uint8_t padded[32 + MP3BitReader::kPadding] = {};
    const int32_t sideBytes = h.GetSideInfoBytes();
    std::memcpy(padded, side, size_t(sideBytes));
    MP3BitReader bits(padded, sideBytes);
    const int32_t nch = h.GetChannels();
    const bool lsf = h.version != 0;
    si.mainDataBegin = int32_t(bits.Read(lsf ? 8 : 9));
    bits.Skip(lsf ? (nch == 1 ? 1 : 2) : (nch == 1 ? 5 : 3));
    if (!lsf)
        for (int32_t ch = 0; ch < nch; ++ch)
            for (int32_t b = 0; b < 4; ++b)
                si.scfsi[ch][b] = bits.Read(1) != 0;
    bool valid = true;
    for (int32_t gr = 0; gr < h.GetGranules(); ++gr) {
        for (int32_t ch = 0; ch < nch; ++ch) {
            Granule& g = si.gr[gr][ch];
            g.part23Length = int32_t(bits.Read(12));
            g.bigValues = int32_t(bits.Read(9));
            g.globalGain = int32_t(bits.Read(8));
            g.scalefacCompress = int32_t(bits.Read(lsf ? 9 : 4));
            g.windowSwitching = bits.Read(1) != 0;
            if (g.windowSwitching) {
                g.blockType = int32_t(bits.Read(2));
                g.mixed = bits.Read(1) != 0;
                g.tableSelect[0] = int32_t(bits.Read(5));
                g.tableSelect[1] = int32_t(bits.Read(5));
                g.tableSelect[2] = 0;
                for (int32_t w = 0; w < 3; ++w)
                    g.subblockGain[w] = int32_t(bits.Read(3));
                // Block type 0 cannot be signalled with window switching.
                if (g.blockType == 0)
                    valid = false;
                g.region0Count = g.blockType == 2 && !g.mixed ? 8 : 7;
                g.region1Count = 20 - g.region0Count;
            } else {
                g.blockType = 0;
                g.mixed = false;
                for (int32_t r = 0; r < 3; ++r)
                    g.tableSelect[r] = int32_t(bits.Read(5));
                g.region0Count = int32_t(bits.Read(4));
                g.region1Count = int32_t(bits.Read(3));
            }
            g.preflag = lsf ? 0 : int32_t(bits.Read(1));
            g.scalefacScale = int32_t(bits.Read(1));
            g.count1Table = int32_t(bits.Read(1));
        }
    }
    return valid;
}

bool MP3Layer3Decoder::DecodeFrame(const MP3Header& h, const uint8_t* side, const uint8_t* main, int32_t mainBytes,
                                   int32_t* out)
{
    mainBytes = std::clamp(mainBytes, 0, 2048 - kMaxReservoirBytes);
    SideInfo si;
    const bool valid = ParseSideInfo(h, side, si);
    const int32_t begin = si.mainDataBegin;
    if (begin > reservoirBytes_) {
        // Keep only the tail later frames can reach back to, then add this frame's data.
        int32_t keep = std::min(reservoirBytes_, kMaxReservoirBytes);
        std::memmove(reservoir_, reservoir_ + reservoirBytes_ - keep, size_t(keep));
        std::memcpy(reservoir_ + keep, main, size_t(mainBytes));
        reservoirBytes_ = keep + mainBytes;
        return false;
    }
    std::memmove(reservoir_, reservoir_ + reservoirBytes_ - begin, size_t(begin));
    std::memcpy(reservoir_ + begin, main, size_t(mainBytes));
    reservoirBytes_ = begin + mainBytes;
    std::memset(reservoir_ + reservoirBytes_, 0, MP3BitReader::kPadding);

    const int32_t nch = channels_;
    MP3BitReader bits(reservoir_, reservoirBytes_);
    int32_t granuleStart = 0;
    const bool lsf = h.version != 0;
    if (lsf)
        intensityScale_ = nch == 2 && (si.gr[0][1].scalefacCompress & 1) ? float(1.0 / std::sqrt(2.0))
                                                                         : float(std::pow(2.0, -0.25));
    for (int32_t gr = 0; gr < h.GetGranules(); ++gr) {
        for (int32_t ch = 0; ch < nch; ++ch) {
            Granule& g = si.gr[gr][ch];
            bits.SetPosition(granuleStart);
            const int32_t partEnd = granuleStart + g.part23Length;
            granuleStart = partEnd;
            if (lsf)
                ReadScaleFactorsLsf(bits, h, g, ch);
            else
                ReadScaleFactors(bits, h, si, gr, ch);
            BuildSegments(g, ch);
            DecodeSpectrum(bits, g, partEnd, ch);
            if (!valid) {
                std::memset(state_[ch].lines, 0, sizeof state_[ch].lines);
                state_[ch].activeSubbands = 0;
            }
        }
        if (nch == 2 && h.mode == 1 && h.modeExtension != 0)
            JointStereo(h, si.gr[gr][1]);
        for (int32_t ch = 0; ch < nch; ++ch) {
            const Granule& g = si.gr[gr][ch];
            AliasReduce(g, ch);
            imdct_.Run(state_[ch].lines, g.blockType, g.mixed, mixedLongLines_ / 18, state_[ch].activeSubbands,
                       overlap_[ch], time_[ch], gr * 18);
        }
    }
    // Both granules at once: the filter bank works on several time slots at a time.
    const float* time[2] = {time_[0], time_[1]};
    synthesis_.Run(time, nch, h.GetGranules() * 18, MP3Imdct::kRowStride, out);
    return true;
}

void MP3Layer3Decoder::ReadScaleFactors(MP3BitReader& bits, const MP3Header& h, const SideInfo& si, int32_t gr,
                                        int32_t ch)
{
    (void)h;
    const Granule& g = si.gr[gr][ch];
    ScaleFactors& sf = sf_[ch];
    const int32_t slen1 = kSlen[0][g.scalefacCompress & 15];
    const int32_t slen2 = kSlen[1][g.scalefacCompress & 15];
    if (g.blockType == 2) {
        int32_t firstShort = 0;
        if (g.mixed) {
            for (int32_t b = 0; b < 8; ++b)
                sf.longSf[b] = int32_t(bits.Read(slen1));
            firstShort = 3;
        }
        for (int32_t b = firstShort; b < 12; ++b)
            for (int32_t w = 0; w < 3; ++w)
                sf.shortSf[b][w] = int32_t(bits.Read(b < 6 ? slen1 : slen2));
        for (int32_t w = 0; w < 3; ++w)
            sf.shortSf[12][w] = 0;
        return;
    }
    constexpr int32_t kGroups[5] = {0, 6, 11, 16, 21};
    for (int32_t grp = 0; grp < 4; ++grp) {
        if (gr == 1 && si.scfsi[ch][grp])
            continue;  // reused from the first granule  // reused from the first granule
        const int32_t len = grp < 2 ? slen1 : slen2;
        for (int32_t b = kGroups[grp]; b < kGroups[grp + 1]; ++b)
            sf.longSf[b] = int32_t(bits.Read(len));
    }
    sf.longSf[21] = 0;
}

void MP3Layer3Decoder::ReadScaleFactorsLsf(MP3BitReader& bits, const MP3Header& h, Granule& g, int32_t ch)
{
    ScaleFactors& sf = sf_[ch];
    const int32_t sfc = g.scalefacCompress;
    int32_t slen[4] = {};
    int32_t table;
    const bool intensityRight = ch == 1 && h.mode == 1 && (h.modeExtension & 1);
    if (intensityRight) {
        const int32_t isc = sfc >> 1;
        if (isc < 180) {
            slen[0] = isc / 36, slen[1] = (isc % 36) / 6, slen[2] = isc % 6;
            table = 3;
        } else if (isc < 244) {
            const int32_t x = isc - 180;
            slen[0] = (x % 64) >> 4, slen[1] = (x % 16) >> 2, slen[2] = x % 4;
            table = 4;
        } else {
            const int32_t x = isc - 244;
            slen[0] = x / 3, slen[1] = x % 3;
            table = 5;
        }
        g.preflag = 0;
    } else if (sfc < 400) {
        slen[0] = (sfc >> 4) / 5, slen[1] = (sfc >> 4) % 5, slen[2] = (sfc % 16) >> 2, slen[3] = sfc % 4;
        table = 0;
        g.preflag = 0;
    } else if (sfc < 500) {
        const int32_t x = sfc - 400;
        slen[0] = (x >> 2) / 5, slen[1] = (x >> 2) % 5, slen[2] = x % 4;
        table = 1;
        g.preflag = 0;
    } else {
        const int32_t x = sfc - 500;
        slen[0] = x / 3, slen[1] = x % 3;
        table = 2;
        g.preflag = 1;
    }
    const int32_t kind = g.blockType == 2 ? (g.mixed ? 2 : 1) : 0;
    const uint8_t* counts = kMP3LsfBandCounts[table][kind];

    // Values in transmission order with their bit lengths, then spread over bands.
    int32_t values[54];
    int32_t n = 0;
    for (int32_t grp = 0; grp < 4; ++grp)
        for (int32_t i = 0; i < counts[grp] && n < 54; ++i, ++n)
            values[n] = int32_t(bits.Read(slen[grp]));
    for (int32_t i = n; i < 54; ++i)
        values[i] = 0;
    int32_t k = 0;
    if (kind == 0) {
        for (int32_t b = 0; b < 21; ++b, ++k)
            sf.longSf[b] = values[k];
        sf.longSf[21] = 0;
        return;
    }
    int32_t firstShort = 0;
    if (kind == 2) {
        for (int32_t b = 0; b < 6; ++b, ++k)
            sf.longSf[b] = values[k];
        firstShort = 3;
    }
    for (int32_t b = firstShort; b < 12; ++b)
        for (int32_t w = 0; w < 3; ++w, ++k)
            sf.shortSf[b][w] = values[k];
    for (int32_t w = 0; w < 3; ++w)
        sf.shortSf[12][w] = 0;
}

void MP3Layer3Decoder::BuildSegments(const Granule& g, int32_t ch)
{
    const MP3PowTables& pow = MP3PowTables::Get();
    const ScaleFactors& sf = sf_[ch];
    ChannelState& st = state_[ch];
    const int32_t gain = g.globalGain - 210;
    const int32_t shift = g.scalefacScale ? 4 : 2;
    int32_t n = 0;
    auto addLong = [&](int32_t b) {
        int32_t v = sf.longSf[b] + (g.preflag ? kMP3Pretab[b] : 0);
        st.segments[n++] = {bands_.longBounds[b + 1], int8_t(b), -1, pow.Pow2Quarter(gain - shift * v)};
    };
    if (g.blockType != 2) {
        for (int32_t b = 0; b < 22; ++b)
            addLong(b);
    } else {
        int32_t firstShort = 0;
        int32_t end = 0;
        if (g.mixed) {
            for (int32_t b = 0; b < mixedLongBands_; ++b)
                addLong(b);
            firstShort = 3;
            end = mixedLongLines_;
        }
        for (int32_t b = firstShort; b < 13; ++b) {
            const int32_t width = bands_.shortBounds[b + 1] - bands_.shortBounds[b];
            for (int32_t w = 0; w < 3; ++w) {
                end += width;
                int32_t q = gain - 8 * g.subblockGain[w] - shift * sf.shortSf[b][w];
                st.segments[n++] = {int16_t(end), int8_t(b), int8_t(w), pow.Pow2Quarter(q)};
            }
        }
    }
    st.segmentCount = n;
}

void MP3Layer3Decoder::DecodeSpectrum(MP3BitReader& bits, const Granule& g, int32_t partEnd, int32_t ch)
{
    const MP3Huffman& huff = MP3Huffman::Get();
    const MP3PowTables& pow = MP3PowTables::Get();
    ChannelState& st = state_[ch];
    float* xr = st.lines;
    std::memset(xr, 0, sizeof st.lines);
    std::fill_n(st.segmentNonzero, st.segmentCount, false);
    const uint16_t* map = maps_[g.blockType == 2 ? (g.mixed ? 2 : 1) : 0];

    int32_t regionEnd[3];
    if (g.blockType == 2) {
        regionEnd[0] = g.mixed ? bands_.longBounds[8] : 3 * bands_.shortBounds[3];
        regionEnd[1] = 576;
    } else {
        regionEnd[0] = bands_.longBounds[std::min(g.region0Count + 1, 22)];
        regionEnd[1] = bands_.longBounds[std::min(g.region0Count + g.region1Count + 2, 22)];
    }
    regionEnd[1] = std::max(regionEnd[1], regionEnd[0]);
    regionEnd[2] = 576;
    const int32_t bigLines = std::min(g.bigValues * 2, 576);

    int32_t seg = 0;
    int32_t segEnd = st.segments[0].end;
    float scale = st.segments[0].scale;
    int32_t maxLine = -1;  // highest subband-order line written with a nonzero value
    auto advance = [&](int32_t i) {
        while (i >= segEnd && seg + 1 < st.segmentCount) {
            ++seg;
            segEnd = st.segments[seg].end;
            scale = st.segments[seg].scale;
        }
    };
    auto put = [&](int32_t i, int32_t v) {
        if (v == 0)
            return;
        float x = pow.Pow43(v) * scale;
        const int32_t r = map[i];
        xr[r] = bits.Read(1) ? -x : x;
        st.segmentNonzero[seg] = true;
        maxLine = std::max(maxLine, r);
    };

    int32_t i = 0;
    for (int32_t region = 0; region < 3; ++region) {
        const int32_t end = std::min(regionEnd[region], bigLines);
        const int32_t select = g.tableSelect[region];
        const int32_t linbits = MP3PairCodeTable(select).linbits;
        for (; i < end; i += 2) {
            // Zeros need neither their scale nor their place: the segment is
            // found only for values that are stored.
            const int32_t v = huff.DecodePair(bits, select);
            if (v == 0)
                continue;
            advance(i);
            int32_t x = v >> 4, y = v & 15;
            if (linbits) {
                if (x == 15)
                    x += int32_t(bits.Read(linbits));
                put(i, x);
                if (y == 15)
                    y += int32_t(bits.Read(linbits));
                put(i + 1, y);
            } else {
                put(i, x);
                put(i + 1, y);
            }
        }
    }
    int32_t lastQuad = -1;
    while (i + 4 <= 576 && bits.Position() < partEnd) {
        const int32_t q = huff.DecodeQuad(bits, g.count1Table);
        lastQuad = i;
        for (int32_t k = 0; k < 4; ++k) {
            if ((q >> (3 - k)) & 1) {
                advance(i + k);
                put(i + k, 1);
            }
        }
        i += 4;
    }
    if (bits.Position() > partEnd && lastQuad >= 0 && i > 4) {
        // The last quadruple ran past the granule's data: it was not part of it.
        for (int32_t k = 0; k < 4; ++k)
            xr[map[lastQuad + k]] = 0.0f;
    }
    st.activeSubbands = maxLine < 0 ? 0 : maxLine / 18 + 1;
}

void MP3Layer3Decoder::JointStereo(const MP3Header& h, const Granule& right)
{
    ChannelState& l = state_[0];
    ChannelState& r = state_[1];
    const bool ms = h.modeExtension & 2;
    const bool intensity = h.modeExtension & 1;
    int32_t active = std::max(l.activeSubbands, r.activeSubbands);
    if (!intensity) {
        const int32_t n = active * 18;
        for (int32_t i = 0; i < n; ++i) {
            const float m = l.lines[i], s = r.lines[i];
            l.lines[i] = (m + s) * kInvSqrt2;
            r.lines[i] = (m - s) * kInvSqrt2;
        }
        l.activeSubbands = r.activeSubbands = active;
        return;
    }

    // Intensity stereo starts above the highest band (per window for short blocks)
    // in which the right channel has a nonzero value.
    const ScaleFactors& sf = sf_[1];
    int16_t lines[576];
    int32_t lastLong = -1;
    int32_t lastShort[3] = {-1, -1, -1};
    bool shortNonzero = false;
    for (int32_t s = 0; s < r.segmentCount; ++s) {
        if (!r.segmentNonzero[s])
            continue;
        const Segment& seg = r.segments[s];
        if (seg.window < 0) {
            lastLong = std::max<int32_t>(lastLong, seg.band);
        } else {
            lastShort[seg.window] = std::max<int32_t>(lastShort[seg.window], seg.band);
            shortNonzero = true;
        }
    }
    // A right channel that carries no bits at all in this granule (part2_3_length 0)
    // leaves the lowest band, of every window, to plain or mid/side stereo: intensity
    // starts at band 1, as libmpg123 decodes it. One that carries scale factors but
    // no nonzero value still starts at band 0.
    if (right.part23Length == 0) {
        lastLong = std::max<int32_t>(lastLong, 0);
        for (int32_t& last : lastShort)
            last = std::max<int32_t>(last, 0);
    }
    // Position 7 means "no intensity here" in every version, as in libmpg123; the
    // MPEG-2 positions above 7 scale like the others.
    auto legal = [](int32_t pos) { return pos != 7; };
    if (right.blockType != 2 || right.mixed) {
        const int32_t longEnd = right.blockType == 2 ? mixedLongBands_ : 22;
        for (int32_t b = 0; b < longEnd; ++b) {
            const int32_t first = bands_.longBounds[b], count = bands_.longBounds[b + 1] - first;
            for (int32_t k = 0; k < count; ++k)
                lines[k] = int16_t(first + k);
            const bool inIntensity = b > lastLong && !shortNonzero;
            // The last band carries no scale factor; it takes the one below.
            const int32_t src = b == 21 ? 20 : b;
            const int32_t pos = sf.longSf[src];
            const bool isBand = inIntensity && legal(pos);
            IntensityBand(h, isBand ? pos : -1, !isBand, ms, lines, count);
        }
    }
    if (right.blockType == 2) {
        for (int32_t b = right.mixed ? 3 : 0; b < 13; ++b) {
            const int32_t first = bands_.shortBounds[b], count = bands_.shortBounds[b + 1] - first;
            for (int32_t w = 0; w < 3; ++w) {
                for (int32_t k = 0; k < count; ++k)
                    lines[k] = int16_t(3 * (first + k) + w);
                const int32_t src = b == 12 ? 11 : b;
                const int32_t pos = sf.shortSf[src][w];
                // As in libmpg123 the last band is processed in every window, even
                // where the right channel has values there.
                const bool isBand = (b > lastShort[w] || b == 12) && legal(pos);
                IntensityBand(h, isBand ? pos : -1, !isBand, ms, lines, count);
            }
        }
    }
    // Intensity copies the left channel into the right one.
    active = std::max(l.activeSubbands, r.activeSubbands);
    l.activeSubbands = r.activeSubbands = active;
}

void MP3Layer3Decoder::IntensityBand(const MP3Header& h, int32_t isPos, bool illegal, bool ms, const int16_t* lines,
                                     int32_t count)
{
    float* l = state_[0].lines;
    float* r = state_[1].lines;
    if (illegal) {
        if (ms) {
            for (int32_t k = 0; k < count; ++k) {
                const int32_t i = lines[k];
                const float m = l[i], s = r[i];
                l[i] = (m + s) * kInvSqrt2;
                r[i] = (m - s) * kInvSqrt2;
            }
        }
        return;
    }
    float kl, kr;
    if (h.version == 0) {
        kl = Stereo().isRatio[isPos][0];
        kr = Stereo().isRatio[isPos][1];
    } else {
        const float f = std::pow(intensityScale_, float((isPos + 1) / 2));
        if (isPos == 0) {
            kl = kr = 1.0f;
        } else if (isPos & 1) {
            kl = f, kr = 1.0f;
        } else {
            kl = 1.0f, kr = std::pow(intensityScale_, float(isPos / 2));
        }
    }
    for (int32_t k = 0; k < count; ++k) {
        const int32_t i = lines[k];
        // The right channel is normally zero here; where it is not (the last short
        // band, processed in every window), mid/side still adds it in.
        const float v = ms ? l[i] + r[i] : l[i];
        l[i] = v * kl;
        r[i] = v * kr;
    }
}

void MP3Layer3Decoder::AliasReduce(const Granule& g, int32_t ch)
{
    ChannelState& st = state_[ch];
    if (g.blockType == 2 && !g.mixed)
        return;
    int32_t boundaries = g.blockType == 2 ? mixedLongLines_ / 18 - 1 : std::min(st.activeSubbands, 31);
    const StereoTables& t = Stereo();
    float* x = st.lines;
#if defined(__SSE2__)
    using Lanes = MP3LanesSse2;
#else
    using Lanes = MP3LanesPlain;
#endif
    const Lanes cs0 = Lanes::Load(t.aliasCs), cs1 = Lanes::Load(t.aliasCs + 4);
    const Lanes ca0 = Lanes::Load(t.aliasCa), ca1 = Lanes::Load(t.aliasCa + 4);
    const Lanes csr0 = Lanes::Load(t.aliasCsReversed), csr1 = Lanes::Load(t.aliasCsReversed + 4);
    const Lanes car0 = Lanes::Load(t.aliasCaReversed), car1 = Lanes::Load(t.aliasCaReversed + 4);
    for (int32_t sb = 1; sb <= boundaries; ++sb) {
        // Butterfly i joins bu, line 17 - i of the subband below, with bd, line i
        // of this one: bu cs - bd ca and bd cs + bu ca. Lines 10..17 below and
        // 0..7 here are taken four at a time, each meeting the other side reversed.
        float* lo = x + sb * 18 - 8;
        float* hi = x + sb * 18;
        const Lanes bu0 = Lanes::Load(lo), bu1 = Lanes::Load(lo + 4);
        const Lanes bd0 = Lanes::Load(hi), bd1 = Lanes::Load(hi + 4);
        (bu0 * csr0 - Lanes::Reverse(bd1) * car0).Store(lo);
        (bu1 * csr1 - Lanes::Reverse(bd0) * car1).Store(lo + 4);
        (bd0 * cs0 + Lanes::Reverse(bu1) * ca0).Store(hi);
        (bd1 * cs1 + Lanes::Reverse(bu0) * ca1).Store(hi + 4);
    }
    // The butterflies carry values one subband up.
    if (st.activeSubbands > 0)
        st.activeSubbands = std::min(std::max(st.activeSubbands, boundaries) + 1, 32);
}
