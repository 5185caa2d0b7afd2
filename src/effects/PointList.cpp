#include "effects/PointList.h"

#include <algorithm>

#include "core/LFile.h"
#include "core/LSettings.h"

PointList PointList::Flat() { return Of({{0, 128}, {255, 128}}); }

PointList PointList::Of(std::initializer_list<Point> list)
{
    PointList p;
    for (const Point& pt : list) {
        if (p.nPoints == kMaxPoints)
            break;
        p.points[p.nPoints++] = pt;
    }
    return p;
}

void PointList::Validate()
{
    nPoints = uint8_t(std::min<int32_t>(nPoints, kMaxPoints));
    for (int32_t i = 1; i < nPoints; ++i)
        points[size_t(i)].x = std::max(points[size_t(i)].x, points[size_t(i - 1)].x);
}

PointList PointList::Load(const std::string& path)
{
    PointList p;
    LFile file;
    if (file.Open(path, LFile::Mode::Read)) {
        uint8_t bytes[kBytes];
        const int32_t got = file.Read(bytes, int32_t(kBytes));
        if (got > 0)
            p = FromBytes(bytes, size_t(got));
    }
    if (p.nPoints == 0) {
        p = Flat();
        p.Save(path);
    }
    return p;
}

bool PointList::Save(const std::string& path) const
{
    LFile file;
    if (!file.Open(path, LFile::Mode::Create))
        return false;
    std::vector<uint8_t> bytes = ToBytes();
    return file.Write(bytes.data(), int32_t(bytes.size())) == int32_t(bytes.size());
}

PointList PointList::SetFlat(const std::string& path)
{
    PointList().Save(path);
    return Load(path);
}

std::vector<uint8_t> PointList::ToBytes() const
{
    const int32_t n = std::min<int32_t>(nPoints, kMaxPoints);
    std::vector<uint8_t> bytes{uint8_t(n)};
    for (int32_t i = 0; i < n; ++i) {
        bytes.push_back(points[size_t(i)].x);
        bytes.push_back(points[size_t(i)].y);
    }
    return bytes;
}

PointList PointList::FromBytes(const uint8_t* data, size_t size)
{
    PointList p;
    if (size == 0)
        return p;
    const size_t whole = (size - 1) / 2;
    const size_t n = std::min({size_t(data[0]), size_t(kMaxPoints), whole});
    for (size_t i = 0; i < n; ++i)
        p.points[i] = {data[1 + 2 * i], data[2 + 2 * i]};
    p.nPoints = uint8_t(n);
    p.Validate();
    return p;
}

LUiCurve PointList::ToUi() const
{
    LUiCurve c;
    c.nPoints = uint8_t(std::min<int32_t>(nPoints, kMaxPoints));
    for (size_t i = 0; i < c.nPoints; ++i)
        c.points[i] = {points[i].x, points[i].y};
    return c;
}

PointList PointList::FromUi(const LUiCurve& curve)
{
    PointList p;
    p.nPoints = uint8_t(std::min<int32_t>(curve.nPoints, kMaxPoints));
    for (size_t i = 0; i < p.nPoints; ++i)
        p.points[i] = {curve.points[i][0], curve.points[i][1]};
    p.Validate();
    return p;
}

std::string PointList::CurrentFile(const std::string& name) { return FilePathCat(LSettings::GetFolder("Current"), name); }

bool operator==(const PointList& a, const PointList& b)
{
    return a.nPoints == b.nPoints && std::equal(a.points.begin(), a.points.begin() + a.nPoints, b.points.begin());
}
