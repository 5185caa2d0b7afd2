#include "app/LKVRecovery.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

#include "core/LFile.h"
#include "core/LSoundTime.h"
#include "core/LTempOutput.h"
#include "core/LThread.h"
#include "edit/LAudioCutTank.h"

int32_t LKVRecovery::takeIntervalMs = 1000;

namespace {

bool EndsWith(const std::string& s, const std::string& tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes)
{
    LFile f;
    if (!f.Open(path, LFile::Mode::Read))
        return false;
    const int64_t size = f.GetFileSizeBytes();
    if (size <= 0 || size > INT32_MAX)
        return false;
    bytes.resize(size_t(size));
    return f.Read(bytes.data(), int32_t(size)) == int32_t(size);
}

// Makes the frames a recording has written so far survive a power cut, not
// only a crash of the editor (which the page cache already survives).
void SyncSegment(LSegmentRef segment)
{
    const std::string path = LAudioCutTank::Get().GetAudFilePath(segment);
    if (path.empty())
        return;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fdatasync(fd);
    ::close(fd);
}

} // namespace

// Flushes the records written on the user-interface thread to the disk, the
// newest of each once, so that they also survive a power cut.
class LKVRecordSyncer : public LThread {
public:
    ~LKVRecordSyncer() override { StopThreadTimed(); }

    void Add(const std::string& path)
    {
        {
            std::lock_guard lock(mutex_);
            pending_.push_back(path);
        }
        wake_.Set();
        Start(LThreadPriority::BelowNormal);
    }

protected:
    void ThreadBody() override
    {
        for (;;) {
            const bool stop = LEvent::WaitAny(StopEvent(), wake_, 1000) == 0;
            wake_.Reset();
            std::vector<std::string> paths;
            {
                std::lock_guard lock(mutex_);
                paths.swap(pending_);
            }
            std::sort(paths.begin(), paths.end());
            paths.erase(std::unique(paths.begin(), paths.end()), paths.end());
            // A record removed meanwhile is simply not there to flush.
            for (const std::string& p : paths)
                SyncFileAndFolder(p);
            if (stop)
                return;
        }
    }

private:
    std::mutex mutex_;
    std::vector<std::string> pending_;
    LEvent wake_;
};

// Keeps the record of a document that is being recorded into: the document as
// it will be with the take, the take as long as its sink has written. The
// record's parts before and after the take's cut are encoded once, at the
// start; the thread only adds the cut and writes.
class LKVTakeKeeper : public LThread {
public:
    LKVTakeKeeper(std::string path, std::vector<uint8_t> head, std::vector<uint8_t> tail,
                  std::shared_ptr<const LTankSinkProgress> progress)
        : path_(std::move(path)), head_(std::move(head)), tail_(std::move(tail)), progress_(std::move(progress))
    {
    }
    ~LKVTakeKeeper() override { StopThreadTimed(); }

    const std::string& Path() const { return path_; }

    // Writes the record when the take has grown or shrunk since the last one.
    void Update()
    {
        const LSegmentRef segment = LSegmentRef(progress_->segment.load());
        const uint32_t frames = progress_->frames.load(std::memory_order_acquire);
        if (written_ && frames == lastFrames_)
            return;
        SyncSegment(segment);
        std::vector<uint8_t> bytes = head_;
        LKVRecoveryEncoder cut;
        cut.AddCut(segment, segment == kSilentSegment ? 0 : int32_t(std::min<uint32_t>(frames, INT32_MAX)),
                   kQ24Unity, 0);
        bytes.insert(bytes.end(), cut.Bytes().begin(), cut.Bytes().end());
        bytes.insert(bytes.end(), tail_.begin(), tail_.end());
        LKVRecoveryEncoder::Seal(bytes);
        if (WriteFileAtomically(path_, bytes.data(), bytes.size())) {
            written_ = true;
            lastFrames_ = frames;
        }
    }

protected:
    void ThreadBody() override
    {
        while (!StopEvent().WaitFor(LKVRecovery::takeIntervalMs))
            Update();
    }

private:
    std::string path_;
    std::vector<uint8_t> head_;
    std::vector<uint8_t> tail_;
    std::shared_ptr<const LTankSinkProgress> progress_;
    bool written_ = false;
    uint32_t lastFrames_ = 0;
};

LKVRecovery::LKVRecovery()
{
    LAudioCutTank& tank = LAudioCutTank::Get();
    active_ = tank.OwnsSharedFolder();
    if (!active_)
        return;
    folder_ = tank.GetWorkingFolder();
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    char token[64];
    std::snprintf(token, sizeof token, "r%016llx-%x",
                  (unsigned long long)(now.tv_sec) * 1000000000ull + (unsigned long long)(now.tv_nsec),
                  unsigned(getpid()));
    session_ = token;
}

LKVRecovery::~LKVRecovery()
{
    keeper_.reset();
    syncer_.reset();
}

std::string LKVRecovery::PathOf(const LKVFile& doc)
{
    auto it = names_.find(&doc);
    if (it == names_.end())
    {
        // Numbered so that the names sort in the order the documents opened.
        char serial[16];
        std::snprintf(serial, sizeof serial, "-%06u", unsigned(++serial_));
        it = names_.emplace(&doc, session_ + serial + kExtension).first;
    }
    return FilePathCat(folder_, it->second);
}

bool LKVRecovery::Write(const LKVFile& doc, const LKVBookMarkList& bookmarks, const LKVRegionList& regions)
{
    if (!active_)
        return true;
    LKVRecoveryEncoder e;
    e.Document(doc);
    e.CutCount(doc.audio.Cuts().size());
    e.Cuts(doc.audio.Cuts());
    e.Marks(doc, bookmarks, regions);
    const std::vector<uint8_t> bytes = e.Finish();
    const std::string path = PathOf(doc);
    if (!WriteFileAtomically(path, bytes.data(), bytes.size(), false))
        return false;
    if (!syncer_)
        syncer_ = std::make_unique<LKVRecordSyncer>();
    syncer_->Add(path);
    return true;
}

void LKVRecovery::Remove(const LKVFile& doc)
{
    auto it = names_.find(&doc);
    if (it == names_.end())
        return;
    if (keeper_ && keeper_->Path() == FilePathCat(folder_, it->second))
        keeper_.reset();
    ::unlink(FilePathCat(folder_, it->second).c_str());
    names_.erase(it);
}

void LKVRecovery::RemoveAll()
{
    keeper_.reset();
    for (const auto& [doc, name] : names_)
        ::unlink(FilePathCat(folder_, name).c_str());
    names_.clear();
}

void LKVRecovery::TakeStarted(const LKVFile& doc, int32_t start, int32_t end, const LRecordTarget& target,
                              const LKVBookMarkList& bookmarks, const LKVRegionList& regions)
{
    TakeEnded();
    const std::shared_ptr<const LTankSinkProgress> progress = target.Progress();
    if (!active_ || !progress)
        return;
    LCutListAudio head, tail;
    doc.audio.EfCopy(0, start, head);
    head.EfInsert(head.GetLength(), target.Kept());
    doc.audio.EfCopy(end, std::max(end, doc.audio.GetLength()), tail);
    LKVRecoveryEncoder before;
    before.Document(doc);
    before.CutCount(head.Cuts().size() + 1 + tail.Cuts().size());
    before.Cuts(head.Cuts());
    LKVRecoveryEncoder after;
    after.Cuts(tail.Cuts());
    after.Marks(doc, bookmarks, regions);
    keeper_ = std::make_unique<LKVTakeKeeper>(PathOf(doc), std::move(before.Bytes()), std::move(after.Bytes()),
                                              progress);
    keeper_->Start(LThreadPriority::BelowNormal);
}

void LKVRecovery::TakeEnded()
{
    if (!keeper_)
        return;
    keeper_->StopThreadTimed();
    keeper_->Update();
    keeper_.reset();
}

std::vector<LKVRecovery::Left> LKVRecovery::Collect()
{
    LAudioCutTank& tank = LAudioCutTank::Get();
    if (!tank.OwnsSharedFolder())
        return {};
    const std::string folder = tank.GetWorkingFolder();
    // Records half written by a run that was killed (their temporary files).
    LTempOutput::RemoveAbandoned(folder);
    std::vector<Left> left;
    std::vector<LSegmentRef> segments;
    for (const std::string& name : ListFolder(folder)) {
        const std::string path = FilePathCat(folder, name);
        if (EndsWith(name, std::string(kExtension) + ".tmp")) {
            ::unlink(path.c_str());
            continue;
        }
        if (!EndsWith(name, kExtension))
            continue;
        std::vector<uint8_t> bytes;
        Left l{name, {}};
        if (!ReadWholeFile(path, bytes) || !LKVRecoveryRecord::Decode(bytes, l.record)) {
            ::unlink(path.c_str());
            continue;
        }
        const std::vector<LSegmentRef> refs = l.record.Segments();
        segments.insert(segments.end(), refs.begin(), refs.end());
        left.push_back(std::move(l));
    }
    // Back in the order they were opened.
    std::sort(left.begin(), left.end(), [](const Left& a, const Left& b) { return a.name < b.name; });
    tank.ReserveSegments(segments);
    tank.RemoveDeadSegmentFiles();
    return left;
}

void LKVRecovery::Discard(const std::vector<Left>& left)
{
    LAudioCutTank& tank = LAudioCutTank::Get();
    const std::string folder = tank.GetWorkingFolder();
    for (const Left& l : left) {
        ::unlink(FilePathCat(folder, l.name).c_str());
        tank.DecRefAll(l.record.Segments());
    }
}

namespace {

// Frames each segment file holds, looked up once per segment.
class SegmentFrames {
public:
    int64_t Of(LSegmentRef segment, uint8_t channels)
    {
        auto it = bytes_.find(segment);
        if (it == bytes_.end()) {
            struct stat st {};
            const std::string path = LAudioCutTank::Get().GetAudFilePath(segment);
            it = bytes_.emplace(segment, ::stat(path.c_str(), &st) == 0 ? int64_t(st.st_size) : 0).first;
        }
        return it->second / (int64_t(std::max<uint8_t>(channels, 1)) * 4);
    }

private:
    std::map<LSegmentRef, int64_t> bytes_;
};

std::vector<std::pair<int32_t, int32_t>> LostFrames(const std::vector<LKVRecoveryRecord::Cut>& cuts, uint8_t channels,
                                                    SegmentFrames& segments)
{
    std::vector<std::pair<int32_t, int32_t>> lost;
    int64_t at = 0;
    for (const LKVRecoveryRecord::Cut& c : cuts) {
        const int64_t length = std::max(c.length, 0);
        if (c.segment != kSilentSegment && length > 0) {
            const int64_t have = std::clamp<int64_t>(segments.Of(c.segment, channels) - c.start, 0, length);
            if (have < length) {
                const int32_t from = int32_t(std::min<int64_t>(at + have, INT32_MAX));
                const int32_t to = int32_t(std::min<int64_t>(at + length, INT32_MAX));
                if (!lost.empty() && lost.back().second == from)
                    lost.back().second = to;
                else
                    lost.emplace_back(from, to);
            }
        }
        at += length;
    }
    return lost;
}

std::string TimeText(int32_t frames, int32_t rate)
{
    LSoundTime t;
    t.SetSamples(frames, rate);
    return t.GetTextCs();
}

} // namespace

std::vector<LKVRecovery::Lost> LKVRecovery::FindLost(const std::vector<Left>& left)
{
    std::vector<Lost> found;
    SegmentFrames segments;
    for (const Left& l : left) {
        const LKVRecoveryRecord& r = l.record;
        const std::string owner = r.path.empty() ? "Untitled " + std::to_string(r.untitledNumber) : r.path;
        Lost doc{owner, r.sampleRate, LostFrames(r.cuts, r.channels, segments)};
        if (!doc.frames.empty())
            found.push_back(std::move(doc));
        for (const LKVRecoveryRecord::Region& g : r.regions) {
            Lost region{"region \"" + g.name + "\" of " + owner, g.sampleRate,
                        LostFrames(g.cuts, g.channels, segments)};
            if (!region.frames.empty())
                found.push_back(std::move(region));
        }
    }
    return found;
}

std::string LKVRecovery::LostText(const std::vector<Lost>& lost)
{
    std::string text;
    for (const Lost& l : lost) {
        if (!text.empty())
            text += "\r\n";
        text += l.owner + ":";
        for (size_t i = 0; i < l.frames.size(); ++i)
            text += (i ? ", " : " ") + TimeText(l.frames[i].first, l.sampleRate) + "-" +
                    TimeText(l.frames[i].second, l.sampleRate);
    }
    return text;
}
