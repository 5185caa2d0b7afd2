#pragma once
#include <cstdint>

#include "formats/mp3/MP3BitReader.h"
#include "formats/mp3/MP3Header.h"
#include "formats/mp3/MP3Imdct.h"
#include "formats/mp3/MP3Synthesis.h"
#include "formats/mp3/MP3Tables.h"

// Decodes Layer III frames of one stream (the format of its first header) into
// interleaved samples on the 2^19 scale. Owns the bit reservoir, the overlap
// buffers and the synthesis filter state.
class MP3Layer3Decoder {
public:
    // Largest main_data_begin (MPEG-1 has 9 bits): only that much reservoir matters.
    static constexpr int32_t kMaxReservoirBytes = 511;

    explicit MP3Layer3Decoder(const MP3Header& first);

    // Zeroes the overlap buffers and the synthesis state; the reservoir stays.
    void ResetFilters();
    // Empties the bit reservoir.
    void ClearReservoir() { reservoirBytes_ = 0; }

    // Decodes one frame of header `h` (which matches the first header): `side` holds
    // its side information, `main` its `mainBytes` bytes of main data. Writes
    // h.GetSamplesPerFrame() frames of GetChannels() samples to `out`. Returns false,
    // writing nothing, when the reservoir holds fewer bytes than the frame's
    // main_data_begin; the frame's main data is kept for the frames after it.
    bool DecodeFrame(const MP3Header& h, const uint8_t* side, const uint8_t* main, int32_t mainBytes, int32_t* out);

    uint8_t GetChannels() const { return channels_; }

    // main_data_begin of a frame's side information.
    static int32_t MainDataBegin(const MP3Header& h, const uint8_t* side);

private:
    struct Granule {
        int32_t part23Length = 0;
        int32_t bigValues = 0;
        int32_t globalGain = 0;
        int32_t scalefacCompress = 0;
        bool windowSwitching = false;
        int32_t blockType = 0;
        bool mixed = false;
        int32_t tableSelect[3] = {};
        int32_t subblockGain[3] = {};
        int32_t region0Count = 0;
        int32_t region1Count = 0;
        int32_t preflag = 0;
        int32_t scalefacScale = 0;
        int32_t count1Table = 0;
    };
    struct SideInfo {
        int32_t mainDataBegin = 0;
        bool scfsi[2][4] = {};
        Granule gr[2][2];
    };
    // Scale factors of one channel, kept across the granules of a frame (scfsi).
    struct ScaleFactors {
        int32_t longSf[22] = {};
        int32_t shortSf[13][3] = {};
    };
    // A run of spectral lines in bitstream order sharing one scale (a band of a
    // long block, or one window of a short band).
    struct Segment {
        int16_t end;
        int8_t band;
        int8_t window;  // -1 for long bands
        float scale;
    };
    // What a channel's granule decoded to.
    struct ChannelState {
        alignas(32) float lines[576];  // subband order
        int32_t activeSubbands = 0;    // subbands from here on are zero
        bool segmentNonzero[40] = {};
        int32_t segmentCount = 0;
        Segment segments[40];
    };

    bool ParseSideInfo(const MP3Header& h, const uint8_t* side, SideInfo& si) const;
    void ReadScaleFactors(MP3BitReader& bits, const MP3Header& h, const SideInfo& si, int32_t gr, int32_t ch);
    void ReadScaleFactorsLsf(MP3BitReader& bits, const MP3Header& h, Granule& g, int32_t ch);
    void BuildSegments(const Granule& g, int32_t ch);
    void DecodeSpectrum(MP3BitReader& bits, const Granule& g, int32_t partEnd, int32_t ch);
    void JointStereo(const MP3Header& h, const Granule& right);
    // Intensity (or, where `illegal`, mid/side) processing of the subband-order lines listed.
    void IntensityBand(const MP3Header& h, int32_t isPos, bool illegal, bool ms, const int16_t* lines, int32_t count);
    void AliasReduce(const Granule& g, int32_t ch);

    MP3Header first_;
    uint8_t channels_;
    const MP3BandTable& bands_;
    int32_t mixedLongBands_;  // long bands in a mixed block
    int32_t mixedLongLines_;  // spectral lines they cover
    const uint16_t* maps_[3];
    uint16_t identityMap_[576];
    uint16_t shortMap_[576];
    uint16_t mixedMap_[576];

    ScaleFactors sf_[2];
    ChannelState state_[2];
    float intensityScale_ = 0.0f;  // MPEG-2: 2^-1/4 or 2^-1/2

    MP3Imdct imdct_;
    alignas(32) float overlap_[2][576];
    // A frame's time samples per channel, one row per subband (MP3Imdct's layout);
    // zeroed once so that what the filter bank reads past the last slot is defined.
    alignas(32) float time_[2][32 * MP3Imdct::kRowStride] = {};
    MP3Synthesis synthesis_;

    alignas(16) uint8_t reservoir_[kMaxReservoirBytes + 2048 + MP3BitReader::kPadding];
    int32_t reservoirBytes_ = 0;
};
