#include "app/LKVProject.h"

#include <algorithm>
#include <bit>
#include <map>

#include "app/LKVBinary.h"
#include "core/ByteOrder.h"
#include "core/LFile.h"
#include "core/Q24.h"
#include "edit/LAudioCutTank.h"

namespace {

constexpr int32_t kBlockFrames = 8192;
// Rates a block may carry: below 1000 Hz the time conversions would leave
// 32 bits for long documents, and nothing records or plays above 1 MHz.
constexpr int32_t kMinRate = 1000;
constexpr int32_t kMaxRate = 1000000;

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string TooMany(size_t count, const std::string& what, const std::string& advice)
{
    return "This project holds " + std::to_string(count) + " " + what + ", but a project can hold at most 255. " +
           advice;
}

std::string TooLong(const std::string& what, const std::string& text)
{
    return "The " + what + " " + Quoted(text) +
           " is too long to be stored in a project (at most 259 bytes). The project was not saved.";
}

// The names untitled documents will have once the project is loaded again.
std::map<std::string, std::string> UntitledRenames(const std::vector<const LKVFile*>& documents)
{
    std::map<std::string, std::string> renames;
    size_t k = 0;
    for (const LKVFile* d : documents)
        if (d->path.empty())
            renames[d->GetPathOrTitle()] = "Untitled " + std::to_string(LKVProject::UntitledNumberOnLoad(k++));
    return renames;
}

std::string Renamed(const std::map<std::string, std::string>& renames, const std::string& path)
{
    auto it = renames.find(path);
    return it == renames.end() ? path : it->second;
}

class BlockWriter {
public:
    BlockWriter(LProgressDialog& dialog, LKVFileWriter& out, int64_t totalFrames)
        : dialog_(dialog), out_(out), total_(std::max<int64_t>(totalFrames, 1))
    {
    }

    // kJobDone, kJobCancelled (checked after every block) or kJobFailed.
    int32_t Write(const LCutListAudio& audio)
    {
        const int32_t length = audio.GetLength();
        uint8_t head[9];
        PutLE32(head, uint32_t(audio.sampleRate));
        head[4] = audio.channels;
        PutLE32(head + 5, uint32_t(length));
        out_.Write(head, sizeof head);
        if constexpr (std::endian::native != std::endian::little)
            return WriteThroughReader(audio, length);
        // Segment files hold exactly what the reader delivers for a cut at unity
        // gain (32-bit little-endian frames), so those cuts are copied file to
        // file; silence is zeros; only cuts with a gain go through the reader.
        int64_t left = length;
        for (const LCut& cut : audio.Cuts()) {
            const int32_t frames = int32_t(std::clamp<int64_t>(cut.length, 0, left));
            left -= frames;
            int32_t r = kJobDone;
            if (cut.IsSilent())
                r = Blocks(frames, [&](int32_t, int32_t n) { out_.WriteZeros(Bytes(n, audio.channels)); });
            else if (cut.gain == kQ24Unity)
                r = CopySegment(cut, frames, audio.channels);
            else {
                LCutListAudio one;
                one.sampleRate = audio.sampleRate;
                one.channels = audio.channels;
                one.Add(cut);
                r = WriteThroughReader(one, frames);
            }
            if (r != kJobDone)
                return r;
        }
        return out_.Failed() ? kJobFailed : kJobDone;
    }

private:
    static size_t Bytes(int32_t frames, uint8_t channels) { return size_t(frames) * channels * 4; }

    // Calls `write`(first frame, frames) for each block of `frames`, with
    // progress and a Cancel check after each.
    template <class Fn>
    int32_t Blocks(int32_t frames, Fn write)
    {
        for (int32_t at = 0; at < frames;) {
            const int32_t n = std::min(kBlockFrames, frames - at);
            write(at, n);
            if (out_.Failed())
                return kJobFailed;
            at += n;
            done_ += n;
            dialog_.SetProgress(double(done_) / double(total_));
            if (dialog_.IsCancelled())
                return kJobCancelled;
        }
        return kJobDone;
    }

    int32_t CopySegment(const LCut& cut, int32_t frames, uint8_t channels)
    {
        LFile file;
        file.Open(LAudioCutTank::Get().GetAudFilePath(cut.Segment()), LFile::Mode::Read);
        const int64_t size = file.IsOpen() ? file.GetFileSizeBytes() : 0;
        const int64_t first = int64_t(cut.start) * channels * 4;
        return Blocks(frames, [&](int32_t at, int32_t n) {
            // Frames a damaged segment cannot supply are zeros, whole values only,
            // as the reader delivers them.
            const int64_t offset = first + int64_t(at) * channels * 4;
            const int64_t want = int64_t(Bytes(n, channels));
            const int64_t have = offset < 0 ? 0 : std::clamp<int64_t>(size - offset, 0, want) / 4 * 4;
            if (have > 0)
                out_.CopyFrom(file.Fd(), offset, have);
            out_.WriteZeros(size_t(want - have));
        });
    }

    int32_t WriteThroughReader(const LCutListAudio& audio, int32_t frames)
    {
        LSoundSource source = audio.OpenSource();
        const uint8_t channels = audio.channels;
        values_.resize(size_t(kBlockFrames) * channels);
        bytes_.resize(values_.size() * 4);
        return Blocks(frames, [&](int32_t, int32_t n) {
            const size_t count = size_t(n) * channels;
            source->Read(values_.data(), n);
            for (size_t i = 0; i < count; ++i)
                PutLE32(bytes_.data() + 4 * i, uint32_t(values_[i]));
            out_.Write(bytes_.data(), count * 4);
        });
    }

    LProgressDialog& dialog_;
    LKVFileWriter& out_;
    int64_t total_;
    int64_t done_ = 0;
    std::vector<int32_t> values_;
    std::vector<uint8_t> bytes_;
};

class BlockReader {
public:
    BlockReader(LProgressDialog& dialog, LKVFileReader& in) : dialog_(dialog), in_(in) {}

    int32_t Read(LCutListAudio& list)
    {
        int32_t rate = 0, length = 0;
        uint8_t channels = 0;
        if (!in_.ReadLE32(rate) || !in_.ReadU8(channels) || !in_.ReadLE32(length))
            return kJobFailed;
        if (rate < kMinRate || rate > kMaxRate || channels < 1 || channels > 2 || length < 0)
            return kJobFailed;
        // A length the file cannot hold is found before any audio is written.
        if (int64_t(length) * channels * 4 > in_.Remaining())
            return kJobFailed;
        list.Clear();
        list.sampleRate = rate;
        list.channels = channels;
        if (length == 0)
            return kJobDone;
        int32_t result = kJobDone;
        {
            LSoundSink sink = list.OpenSink(rate, channels);
            values_.resize(size_t(kBlockFrames) * channels);
            bytes_.resize(values_.size() * 4);
            for (int32_t at = 0; at < length && result == kJobDone;) {
                const int32_t n = std::min(kBlockFrames, length - at);
                const size_t count = size_t(n) * channels;
                if (!in_.Read(bytes_.data(), count * 4)) {
                    result = kJobFailed;
                    break;
                }
                for (size_t i = 0; i < count; ++i)
                    values_[i] = int32_t(GetLE32(bytes_.data() + 4 * i));
                sink->Write(values_.data(), n);
                if (sink->IsError())
                    result = kJobFailed;
                at += n;
                dialog_.SetProgress(double(in_.Position()) / double(std::max<int64_t>(in_.Size(), 1)));
                if (result == kJobDone && dialog_.IsCancelled())
                    result = kJobCancelled;
            }
        }
        return result;
    }

private:
    LProgressDialog& dialog_;
    LKVFileReader& in_;
    std::vector<int32_t> values_;
    std::vector<uint8_t> bytes_;
};

int32_t SaveBody(LProgressDialog& dialog, const LKVProject::SaveData& data, LKVFileWriter& out)
{
    const LKVBookMarkList& bookmarks = *data.bookmarks;
    const LKVRegionList& regions = *data.regions;
    const auto renames = UntitledRenames(data.documents);

    int64_t total = 0;
    for (const LKVFile* d : data.documents)
        total += d->audio.GetLength();
    for (const LKVRegion& r : regions)
        total += r.audio.GetLength();
    BlockWriter blocks(dialog, out, total);

    dialog.SetText("Saving project", 0);
    dialog.SetText("Saving files...", 1);
    out.WriteU8(LKVProject::kVersion);
    out.WriteU8(uint8_t(data.documents.size()));
    uint8_t record[LKVProject::kDocumentRecordSize];
    for (const LKVFile* d : data.documents) {
        LKVPutText(record, d->path);
        LKVPutText(record + 260, d->previousPath);
        PutLE32(record + 520, uint32_t(d->pos.cursor));
        PutLE32(record + 524, uint32_t(d->pos.selStart));
        PutLE32(record + 528, uint32_t(d->pos.selEnd));
        PutLE32(record + 532, uint32_t(d->pos.viewStart));
        PutLE32(record + 536, uint32_t(d->pos.viewEnd));
        out.Write(record, sizeof record);
        if (int32_t r = blocks.Write(d->audio); r != kJobDone)
            return r;
    }
    auto current = std::find(data.documents.begin(), data.documents.end(), data.current);
    out.WriteU8(current == data.documents.end() ? 0xFF : uint8_t(current - data.documents.begin()));

    dialog.SetText("Saving bookmarks...", 1);
    std::vector<const LKVBookMark*> ordered;
    std::vector<bool> taken(bookmarks.size(), false);
    for (const LKVFile* d : data.documents) {
        const std::string path = d->GetPathOrTitle();
        for (size_t i = 0; i < bookmarks.size(); ++i)
            if (!taken[i] && bookmarks[i].path == path) {
                taken[i] = true;
                ordered.push_back(&bookmarks[i]);
            }
    }
    for (size_t i = 0; i < bookmarks.size(); ++i)
        if (!taken[i])
            ordered.push_back(&bookmarks[i]);
    out.WriteU8(uint8_t(ordered.size()));
    uint8_t bookmarkRecord[LKVBookMark::kRecordSize];
    for (const LKVBookMark* b : ordered) {
        LKVBookMark copy = *b;
        copy.path = Renamed(renames, copy.path);
        copy.ToRecord(bookmarkRecord);
        out.Write(bookmarkRecord, sizeof bookmarkRecord);
    }

    dialog.SetText("Saving regions...", 1);
    out.WriteU8(uint8_t(regions.size()));
    uint8_t regionRecord[LKVRegion::kRecordSize];
    for (const LKVRegion& r : regions) {
        LKVRegion head;
        head.name = r.name;
        head.path = Renamed(renames, r.path);
        head.startMs = r.startMs;
        head.endMs = r.endMs;
        head.ToRecord(regionRecord);
        out.Write(regionRecord, sizeof regionRecord);
        if (int32_t res = blocks.Write(r.audio); res != kJobDone)
            return res;
    }
    return out.Failed() ? kJobFailed : kJobDone;
}

int32_t LoadBody(LProgressDialog& dialog, LKVFileReader& in, LKVProjectContents& contents)
{
    BlockReader blocks(dialog, in);
    uint8_t version = 0, count = 0;
    if (!in.ReadU8(version) || version != LKVProject::kVersion || !in.ReadU8(count))
        return kJobFailed;

    dialog.SetText("Loading files...", 0);
    size_t untitled = 0;
    uint8_t record[LKVProject::kDocumentRecordSize];
    for (uint32_t i = 0; i < count; ++i) {
        if (!in.Read(record, sizeof record))
            return kJobFailed;
        auto doc = std::make_unique<LKVFile>();
        doc->path = LKVGetText(record);
        doc->previousPath = LKVGetText(record + 260);
        doc->pos.cursor = int32_t(GetLE32(record + 520));
        doc->pos.selStart = int32_t(GetLE32(record + 524));
        doc->pos.selEnd = int32_t(GetLE32(record + 528));
        doc->pos.viewStart = int32_t(GetLE32(record + 532));
        doc->pos.viewEnd = int32_t(GetLE32(record + 536));
        if (doc->path.empty())
            doc->untitledNumber = LKVProject::UntitledNumberOnLoad(untitled++);
        if (int32_t r = blocks.Read(doc->audio); r != kJobDone)
            return r;
        contents.documents.push_back(std::move(doc));
    }
    uint8_t current = 0;
    if (!in.ReadU8(current))
        return kJobFailed;
    contents.currentIndex = current < contents.documents.size() ? int32_t(current) : -1;

    dialog.SetText("Loading bookmark...", 0);
    if (!in.ReadU8(count))
        return kJobFailed;
    uint8_t bookmarkRecord[LKVBookMark::kRecordSize];
    for (uint32_t i = 0; i < count; ++i) {
        if (!in.Read(bookmarkRecord, sizeof bookmarkRecord))
            return kJobFailed;
        contents.bookmarks.push_back(LKVBookMark::FromRecord(bookmarkRecord));
    }

    dialog.SetText("Loading region...", 0);
    if (!in.ReadU8(count))
        return kJobFailed;
    uint8_t regionRecord[LKVRegion::kRecordSize];
    for (uint32_t i = 0; i < count; ++i) {
        if (!in.Read(regionRecord, sizeof regionRecord))
            return kJobFailed;
        LKVRegion region = LKVRegion::FromRecord(regionRecord);
        if (int32_t r = blocks.Read(region.audio); r != kJobDone)
            return r;
        contents.regions.push_back(std::move(region));
    }
    return kJobDone;
}

} // namespace

int32_t LKVProject::UntitledNumberOnLoad(size_t k) { return k < 19 ? int32_t(k) + 1 : 1; }

std::string LKVProject::CheckSave(const SaveData& data)
{
    const LKVBookMarkList& bookmarks = *data.bookmarks;
    const LKVRegionList& regions = *data.regions;
    if (data.documents.size() > kLKVMaxRecords)
        return TooMany(data.documents.size(), "files", "Close some of them and save the project again.");
    if (bookmarks.size() > kLKVMaxRecords)
        return TooMany(bookmarks.size(), "bookmarks", "Delete some of them and save the project again.");
    if (regions.size() > kLKVMaxRecords)
        return TooMany(regions.size(), "regions", "Delete some of them and save the project again.");
    for (const LKVFile* d : data.documents) {
        if (!LKVTextFits(d->path))
            return TooLong("path", d->path);
        if (!LKVTextFits(d->previousPath))
            return TooLong("path", d->previousPath);
    }
    for (const LKVBookMark& b : bookmarks) {
        if (!LKVTextFits(b.name))
            return TooLong("bookmark name", b.name);
        if (!LKVTextFits(b.path))
            return TooLong("path", b.path);
    }
    for (const LKVRegion& r : regions) {
        if (!LKVTextFits(r.name))
            return TooLong("region name", r.name);
        if (!LKVTextFits(r.path))
            return TooLong("path", r.path);
    }
    return {};
}

int32_t LKVProject::Save(LProgressDialog& dialog, const SaveData& data)
{
    if (!data.bookmarks || !data.regions || !CheckSave(data).empty())
        return kJobFailed;
    LKVFileWriter out;
    if (!out.Open(data.path))
        return kJobFailed;
    int32_t result = SaveBody(dialog, data, out);
    if (result == kJobDone && !out.Commit())
        result = kJobFailed;
    return result;
}

int32_t LKVProject::Load(LProgressDialog& dialog, const std::string& path, LKVProjectContents& contents)
{
    contents = LKVProjectContents();
    LKVFileReader in;
    int32_t result = in.Open(path) ? LoadBody(dialog, in, contents) : kJobFailed;
    if (result != kJobDone)
        contents = LKVProjectContents();
    return result;
}
