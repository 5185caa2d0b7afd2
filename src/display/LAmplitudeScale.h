#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "display/LWavePicture.h"

// The amplitude scales beside a document's main view: marks at round
// percentages of full scale, and at round decibels, placed on the rows where
// the wave of that level reaches in the lane (so they follow the vertical zoom
// and the lanes). Marks never come closer than a text height plus two rows;
// the centre line is marked "0" (percent) or "-∞" (decibels).
class LAmplitudeScale {
public:
    enum class Unit : uint8_t { Percent, Decibel };
    // What lies below a lane's centre line: negative samples (drawn with a
    // minus), or the magnitude of the right channel (left/right display).
    enum class Below : uint8_t { Negative, Magnitude };

    struct Mark {
        int32_t row;
        std::string label;
    };

    // The marks of one lane, top to bottom; `verticalZoom` magnifies eight times.
    static std::vector<Mark> Marks(const LWavePicture::Lane& lane, bool verticalZoom, Below below, Unit unit,
                                   int32_t textHeight);
    // The marks of every lane of `picture` (its height and lanes), top to
    // bottom. Where two lanes meet, a mark closer than the spacing to the one
    // kept above it is left out.
    static std::vector<Mark> PictureMarks(const LWavePicture& picture, bool verticalZoom, Below below, Unit unit,
                                          int32_t textHeight);
    // The rows from the centre line that a level (1.0 = full scale) reaches.
    static double Offset(const LWavePicture::Lane& lane, bool verticalZoom, double level);
};
