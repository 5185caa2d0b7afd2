#include "cd/LCDImage.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "cd/LCDAddress.h"

namespace {

// The longest disc the MSF clock can address, lead-in pause included.
constexpr int32_t kMaxDiscSectors = 100 * 60 * 75 - kCDLeadInPause;

bool ReadText(const std::string& path, std::string& text, std::string& reason)
{
    LFile f;
    if (!f.Open(path, LFile::Mode::Read)) {
        reason = std::strerror(errno);
        return false;
    }
    const int64_t size = f.GetFileSizeBytes();
    if (size > 4 * 1024 * 1024) {
        reason = "it is too large for a CUE sheet";
        return false;
    }
    text.resize(size_t(size));
    if (size && f.Read(text.data(), int32_t(size)) != int32_t(size)) {
        reason = "it cannot be read";
        return false;
    }
    return true;
}

} // namespace

bool LCDImage::HasAudio() const
{
    return std::any_of(tracks_.begin(), tracks_.end(), [](const Track& t) { return !t.data; });
}

bool LCDImage::HasData() const
{
    return std::any_of(tracks_.begin(), tracks_.end(), [](const Track& t) { return t.data; });
}

bool LCDImage::OpenCue(const std::string& path, std::string& error)
{
    const std::string sheetName = "The CUE sheet \"" + path + "\"";
    std::string text, reason;
    if (!ReadText(path, text, reason)) {
        error = "Cannot read the CUE sheet \"" + path + "\": " + reason + ".";
        return false;
    }
    LCueSheet sheet;
    if (!LCueSheet::Parse(text, sheet, reason)) {
        error = sheetName + " cannot be used: " + reason + ".";
        return false;
    }
    const std::string folder = GetFolderFromPath(path);
    files_.clear();
    std::vector<int64_t> sizes;
    std::vector<int32_t> sectorBytes(sheet.files.size(), 0);
    for (const LCueSheet::File& f : sheet.files) {
        const std::string filePath = !f.name.empty() && f.name[0] == '/' ? f.name : FilePathCat(folder, f.name);
        auto file = std::make_unique<LFile>();
        if (!file->Open(filePath, LFile::Mode::Read)) {
            error = sheetName + " names the file \"" + f.name + "\" (line " + std::to_string(f.line) +
                    "), which cannot be opened: " + std::strerror(errno) + ".";
            return false;
        }
        sizes.push_back(file->GetFileSizeBytes());
        files_.push_back(std::move(file));
    }
    for (const LCueSheet::Track& t : sheet.tracks) {
        int32_t& bytes = sectorBytes[size_t(t.file)];
        if (bytes && bytes != LCueSheet::SectorBytes(t.mode)) {
            error = sheetName + ": the file \"" + sheet.files[size_t(t.file)].name +
                    "\" holds tracks with sectors of different sizes (line " + std::to_string(t.line) + ").";
            return false;
        }
        bytes = LCueSheet::SectorBytes(t.mode);
    }

    extents_.clear();
    tracks_.clear();
    int64_t lba = 0;
    for (size_t i = 0; i < sheet.tracks.size(); ++i) {
        const LCueSheet::Track& t = sheet.tracks[i];
        const LCueSheet::File& file = sheet.files[size_t(t.file)];
        const int32_t bytes = sectorBytes[size_t(t.file)];
        const int64_t fileSectors64 = sizes[size_t(t.file)] / bytes;
        const int32_t fileSectors = int32_t(std::min<int64_t>(fileSectors64, kMaxDiscSectors + 1));
        const bool firstInFile = i == 0 || sheet.tracks[i - 1].file != t.file;
        const bool lastInFile = i + 1 == sheet.tracks.size() || sheet.tracks[i + 1].file != t.file;
        const int32_t first = t.indexes.front().frame;
        const int32_t regionStart = firstInFile ? 0 : first;
        const int32_t regionEnd = lastInFile ? fileSectors : sheet.tracks[i + 1].indexes.front().frame;
        const int32_t index1 = t.IndexFrame(1);
        if (index1 >= regionEnd) {
            error = sheetName + ": track " + std::to_string(t.number) + " starts at " + LCDTimeText(index1) +
                    " in \"" + file.name + "\", " +
                    (lastInFile ? "past the end of that file (" + LCDTimeText(fileSectors) + ")" : "where the next track starts") +
                    ".";
            return false;
        }
        const bool data = t.mode != LCueSheet::Mode::Audio;
        Track track;
        track.number = t.number;
        track.data = data;
        track.title = t.title;
        track.performer = t.performer;
        if (t.pregap) {
            extents_.push_back({int32_t(lba), t.pregap, -1, 0, bytes, 0, data});
            track.pregapStart = int32_t(lba);
            lba += t.pregap;
        }
        const int64_t base = lba - regionStart;
        if (!t.pregap)
            track.pregapStart = int32_t(base + first);
        track.start = int32_t(base + index1);
        extents_.push_back({int32_t(lba), regionEnd - regionStart, t.file, int64_t(regionStart) * bytes, bytes,
                            t.mode == LCueSheet::Mode::Mode1_2352 ? 16 : 0, data});
        lba += regionEnd - regionStart;
        if (t.postgap) {
            extents_.push_back({int32_t(lba), t.postgap, -1, 0, bytes, 0, data});
            lba += t.postgap;
        }
        if (lba > kMaxDiscSectors) {
            error = sheetName + " describes a disc longer than a CD can be (" + LCDTimeText(int32_t(lba)) + ").";
            return false;
        }
        tracks_.push_back(track);
    }
    leadOut_ = int32_t(lba);
    for (size_t i = 0; i < tracks_.size(); ++i)
        tracks_[i].end = i + 1 < tracks_.size() ? tracks_[i + 1].pregapStart : leadOut_;
    title_ = sheet.title;
    performer_ = sheet.performer;
    return true;
}

bool LCDImage::OpenIso(const std::string& path, std::string& error)
{
    auto file = std::make_unique<LFile>();
    if (!file->Open(path, LFile::Mode::Read)) {
        error = "Cannot open the ISO image \"" + path + "\": " + std::strerror(errno) + ".";
        return false;
    }
    const int64_t size = file->GetFileSizeBytes();
    if (size <= 0) {
        error = "The ISO image \"" + path + "\" is empty.";
        return false;
    }
    const int64_t sectors = (size + kCDDataSectorBytes - 1) / kCDDataSectorBytes;
    if (sectors > kMaxDiscSectors) {
        error = "The ISO image \"" + path + "\" is larger than a CD can hold.";
        return false;
    }
    files_.clear();
    files_.push_back(std::move(file));
    extents_ = {{0, int32_t(sectors), 0, 0, kCDDataSectorBytes, 0, true}};
    Track t;
    t.number = 1;
    t.data = true;
    t.end = int32_t(sectors);
    tracks_ = {t};
    leadOut_ = int32_t(sectors);
    return true;
}

const LCDImage::Track* LCDImage::TrackAt(int32_t lba) const
{
    if (lba < 0 || lba >= leadOut_ || tracks_.empty())
        return nullptr;
    for (const Track& t : tracks_)
        if (lba < t.end)
            return &t;
    return &tracks_.back();
}

const LCDImage::Extent* LCDImage::ExtentAt(int32_t lba) const
{
    auto it = std::upper_bound(extents_.begin(), extents_.end(), lba,
                               [](int32_t v, const Extent& e) { return v < e.lba; });
    if (it == extents_.begin())
        return nullptr;
    --it;
    return lba < it->lba + it->sectors ? &*it : nullptr;
}

bool LCDImage::AllOfKind(int32_t lba, int32_t count, bool data) const
{
    if (lba < 0 || count < 0 || int64_t(lba) + count > leadOut_)
        return false;
    while (count > 0) {
        const Extent* e = ExtentAt(lba);
        if (!e || e->data != data)
            return false;
        const int32_t n = std::min(count, e->lba + e->sectors - lba);
        lba += n;
        count -= n;
    }
    return true;
}

bool LCDImage::Read(int32_t lba, int32_t count, uint8_t* out, bool data) const
{
    if (!AllOfKind(lba, count, data))
        return false;
    const int32_t outBytes = data ? kCDDataSectorBytes : kCDAudioSectorBytes;
    while (count > 0) {
        const Extent* e = ExtentAt(lba);
        const int32_t n = std::min(count, e->lba + e->sectors - lba);
        if (e->file < 0) {
            std::memset(out, 0, size_t(n) * size_t(outBytes));
        } else {
            LFile& f = *files_[size_t(e->file)];
            const int64_t at = e->offset + int64_t(lba - e->lba) * e->sectorBytes;
            if (e->sectorBytes == outBytes && e->skip == 0) {
                const int32_t want = n * outBytes;
                const int32_t got = std::max(f.ReadAt(at, out, want), 0);
                // A file that ends inside its last sector (an ISO image whose
                // size is not whole sectors) reads on as zeros.
                std::memset(out + got, 0, size_t(want - got));
            } else {
                for (int32_t k = 0; k < n; ++k) {
                    uint8_t* to = out + size_t(k) * size_t(outBytes);
                    const int32_t got = std::max(f.ReadAt(at + int64_t(k) * e->sectorBytes + e->skip, to, outBytes), 0);
                    std::memset(to + got, 0, size_t(outBytes - got));
                }
            }
        }
        out += size_t(n) * size_t(outBytes);
        lba += n;
        count -= n;
    }
    return true;
}

bool LCDImage::ReadAudio(int32_t lba, int32_t count, uint8_t* out) const { return Read(lba, count, out, false); }

bool LCDImage::ReadData(int32_t lba, int32_t count, uint8_t* out) const { return Read(lba, count, out, true); }
