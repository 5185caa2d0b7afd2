#pragma once
#include <limits>
#include <string>

// The live loudness read-out of a player or recorder: the momentary (400 ms)
// and short-term (3 s) loudness of what was last heard or recorded, in LUFS.
// -infinity while there is too little or only silence to measure.
struct LLoudnessReading {
    double momentary = -std::numeric_limits<double>::infinity();
    double shortTerm = -std::numeric_limits<double>::infinity();
    friend bool operator==(const LLoudnessReading&, const LLoudnessReading&) = default;

    // One value as shown, to a tenth: "−23.0" (a true minus sign), "−∞" for
    // silence and anything below -99.9, "—" for no value (NaN).
    static std::string ValueText(double lufs);
    // The read-out: "M −23.0  S −22.8 LUFS".
    std::string Text() const;
};
