#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/LUi.h"

// A curve of up to 64 byte-sized (x, y) points, shared by the envelope and the
// equalizer. For the envelope x runs across the selection (0 = start, 255 = end)
// and y is the gain with 128 = 100 %. Stored (in files and in batch commands) as
// a count byte followed by the (x, y) pairs, little else. A plain value type.
class PointList {
public:
    static constexpr int32_t kMaxPoints = 64;           // POINTLISTMAX
    static constexpr size_t kBytes = 1 + 2 * kMaxPoints;  // 129

    struct Point {
        uint8_t x = 0;
        uint8_t y = 0;
        friend bool operator==(const Point&, const Point&) = default;
    };

    uint8_t nPoints = 0;
    std::array<Point, kMaxPoints> points{};

    // (0, 128) and (255, 128): unity across the whole range.
    static PointList Flat();
    // Builds a list from (x, y) pairs; pairs beyond 64 are dropped.
    static PointList Of(std::initializer_list<Point> list);

    // At most 64 points, and x never decreasing (a smaller x is raised to its
    // predecessor's).
    void Validate();

    // Reads a curve file. A file that cannot be read or holds no points gives the
    // flat curve, which is then written back. Points beyond 64 are ignored, and
    // a file cut short keeps only the whole points it holds.
    static PointList Load(const std::string& path);
    // Creates or truncates `path`; false when it cannot (callers report nothing).
    bool Save(const std::string& path) const;
    // "Set Flat": empties the file and loads it back, which writes the flat curve.
    static PointList SetFlat(const std::string& path);

    // The stored layout: count byte and nPoints pairs (at most 129 bytes).
    std::vector<uint8_t> ToBytes() const;
    // From the stored layout; reads only whole pairs present in `size` bytes and
    // at most 64 of them, then validates.
    static PointList FromBytes(const uint8_t* data, size_t size);

    LUiCurve ToUi() const;
    static PointList FromUi(const LUiCurve& curve);

    // The file `name` ("envelope.dat", "equalizer.dat") in the "Current" data folder.
    static std::string CurrentFile(const std::string& name);

    friend bool operator==(const PointList& a, const PointList& b);
};
