#include "cd/LCDWriteDataCD.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

#include "cd/LCDAddress.h"
#include "cd/LCDDriveCheck.h"
#include "cd/LCDIsoLayout.h"
#include "cd/LCDRecorder.h"
#include "cd/LSCSI.h"
#include "core/LFile.h"
#include "core/LProgressDialog.h"

namespace {

constexpr size_t kSector = LCDIsoLayout::kSector;
// Bytes gathered before they go to the file or the drive: whole sectors.
constexpr size_t kBufferBytes = size_t(1) << 20;

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

std::string Canonical(const std::string& path)
{
    char* real = realpath(path.c_str(), nullptr);
    if (!real)
        return {};
    std::string out = real;
    std::free(real);
    return out;
}

// Where the sectors go: an image file or the recorder.
class Target {
public:
    virtual ~Target() = default;
    // Writes `bytes` (whole sectors): 0, 1 cancelled, 2 failed with `message`.
    virtual int32_t Put(const uint8_t* data, size_t bytes, std::string& message) = 0;
};

class FileTarget : public Target {
public:
    explicit FileTarget(int fd) : fd_(fd) {}
    int32_t Put(const uint8_t* data, size_t bytes, std::string& message) override
    {
        while (bytes > 0) {
            const ssize_t n = write(fd_, data, bytes);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                message = std::string("Writing the ISO file failed (") + (n < 0 ? std::strerror(errno) : "disk full") +
                          ").";
                return kJobFailed;
            }
            data += n;
            bytes -= size_t(n);
        }
        return kJobDone;
    }

private:
    int fd_;
};

class RecorderTarget : public Target {
public:
    RecorderTarget(LCDRecorder& recorder, int32_t address) : recorder_(recorder), address_(address) {}
    int32_t Put(const uint8_t* data, size_t bytes, std::string& message) override
    {
        size_t sectors = bytes / kSector;
        while (sectors > 0) {
            const uint8_t n = uint8_t(std::min<size_t>(sectors, LCDWriteDataCD::kWriteSectors));
            if (recorder_.WriteSectors(data, n, address_, int32_t(kSector)) != kScsiOk) {
                message = "Writing to the CD failed at sector " + std::to_string(address_) + " (" +
                          recorder_.Scsi().LastError() + ").";
                return kJobFailed;
            }
            address_ += n;
            data += size_t(n) * kSector;
            sectors -= n;
        }
        return kJobDone;
    }

private:
    LCDRecorder& recorder_;
    int32_t address_;
};

// Streams the image: the head, then every file padded to whole sectors.
class Streamer {
public:
    Streamer(LProgressDialog& dialog, LCDWriteDataCD::Data& data, Target& target, int64_t totalSectors)
        : dialog_(dialog), data_(data), target_(target), total_(totalSectors), buffer_(kBufferBytes)
    {
    }

    int32_t Run(const LCDIsoLayout& layout)
    {
        int32_t r = Emit(layout.Head().data(), layout.Head().size());
        for (const LCDFile* file : layout.Files()) {
            if (r != kJobDone)
                break;
            r = EmitFile(*file);
        }
        if (r == kJobDone)
            r = Flush();
        return r;
    }

private:
    // Appends `bytes` from `p`, or zeros when `p` is null.
    int32_t Emit(const uint8_t* p, size_t bytes)
    {
        while (bytes > 0) {
            const size_t n = std::min(bytes, buffer_.size() - fill_);
            if (p) {
                std::memcpy(buffer_.data() + fill_, p, n);
                p += n;
            } else {
                std::memset(buffer_.data() + fill_, 0, n);
            }
            fill_ += n;
            bytes -= n;
            if (fill_ == buffer_.size()) {
                const int32_t r = Flush();
                if (r != kJobDone)
                    return r;
            }
        }
        return kJobDone;
    }

    int32_t Zeros(size_t bytes) { return Emit(nullptr, bytes); }

    int32_t Flush()
    {
        if (fill_ == 0)
            return kJobDone;
        // A last, partial buffer ends on a sector boundary already: files are padded.
        const int32_t r = target_.Put(buffer_.data(), fill_, data_.message);
        done_ += int64_t(fill_ / kSector);
        fill_ = 0;
        dialog_.SetProgress(total_ > 0 ? double(done_) / double(total_) : 1.0);
        if (r == kJobDone && dialog_.IsCancelled())
            return kJobCancelled;
        return r;
    }

    // The file's recorded size exactly: a file that shrank since is padded with
    // zeros, one that grew is cut, so the image stays as laid out.
    int32_t EmitFile(const LCDFile& file)
    {
        const uint64_t size = file.size;
        uint64_t got = 0;
        const int fd = size > 0 ? open(file.sourcePath.c_str(), O_RDONLY | O_CLOEXEC) : -1;
        if (size > 0 && fd < 0)
            data_.notes.push_back("The file " + Quoted(file.sourcePath) +
                                  " could not be read while the CD was written; it holds zeros on the CD.");
        if (fd >= 0) {
            posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
            while (got < size) {
                const size_t want = size_t(std::min<uint64_t>(size - got, buffer_.size() - fill_));
                const ssize_t n = read(fd, buffer_.data() + fill_, want);
                if (n < 0 && errno == EINTR)
                    continue;
                if (n <= 0)
                    break;
                fill_ += size_t(n);
                got += uint64_t(n);
                if (fill_ == buffer_.size()) {
                    const int32_t r = Flush();
                    if (r != kJobDone) {
                        close(fd);
                        return r;
                    }
                }
            }
            uint8_t more = 0;
            if (got == size && pread(fd, &more, 1, off_t(size)) == 1)
                data_.notes.push_back("The file " + Quoted(file.sourcePath) +
                                      " grew while the CD was written; only its first " + std::to_string(size) +
                                      " bytes are on the CD.");
            else if (got < size)
                data_.notes.push_back("The file " + Quoted(file.sourcePath) +
                                      " became shorter while the CD was written; the rest of it is zeros on the CD.");
            close(fd);
        }
        const uint64_t padded = (size + kSector - 1) / kSector * kSector;
        return Zeros(size_t(padded - got));
    }

    LProgressDialog& dialog_;
    LCDWriteDataCD::Data& data_;
    Target& target_;
    int64_t total_;
    int64_t done_ = 0;
    std::vector<uint8_t> buffer_;
    size_t fill_ = 0;
};

std::string CapacityMessage(int32_t capacity, int64_t needed)
{
    char text[512];
    std::snprintf(text, sizeof text, LCDWriteDataCD::kCapacity, double(capacity) / 512.0, double(needed) / 512.0);
    return text;
}

int32_t ToImage(LProgressDialog& dialog, LCDWriteDataCD::Data& data, LCDIsoLayout& layout)
{
    if (LCDWriteDataCD::ImageInsideTree(*data.tree, data.imagePath)) {
        data.message = "The ISO file " + Quoted(data.imagePath) +
                       " would lie inside the folders written into it. Choose a place outside them.";
        return kJobFailed;
    }
    LCDIsoLayout::Options options;
    options.label = data.label;
    options.rockRidge = data.tree->RockRidge();
    options.now = data.now ? data.now : int64_t(std::time(nullptr));
    if (!layout.Build(data.tree->Root(), options, data.message))
        return kJobFailed;
    data.sectors = layout.ImageSectors();
    if (dialog.IsCancelled())
        return kJobCancelled;
    dialog.SetText(LCDWriteDataCD::kStartingText, 0);
    // Written beside the image and renamed over it when complete: a failure or a
    // cancel leaves an earlier image of that name as it was.
    const std::string partial = data.imagePath + ".part";
    const int fd = open(partial.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        char text[1400];
        std::snprintf(text, sizeof text, LCDWriteDataCD::kCannotOpenIso, data.imagePath.c_str());
        data.message = text;
        return kJobFailed;
    }
    FileTarget target(fd);
    Streamer streamer(dialog, data, target, layout.ImageSectors());
    int32_t r = streamer.Run(layout);
    if (close(fd) != 0 && r == kJobDone) {
        data.message = "Writing the ISO file " + Quoted(data.imagePath) + " failed (" + std::strerror(errno) + ").";
        r = kJobFailed;
    }
    if (r == kJobDone && std::rename(partial.c_str(), data.imagePath.c_str()) != 0) {
        char text[1400];
        std::snprintf(text, sizeof text, LCDWriteDataCD::kCannotOpenIso, data.imagePath.c_str());
        data.message = text;
        r = kJobFailed;
    }
    if (r != kJobDone)
        unlink(partial.c_str());
    return r;
}

int32_t ToDisc(LProgressDialog& dialog, LCDWriteDataCD::Data& data, LCDIsoLayout& layout)
{
    LSCSI scsi;
    scsi.SetClock(data.clock);
    LCDDriveCheck::Result check;
    int32_t r = LCDDriveCheck::Run(scsi, &dialog, data.settings, check, data.message);
    if (r != kScsiOk)
        return r;
    dialog.SetText(LCDWriteDataCD::kWritingText, 0);
    LCDRecorder recorder(scsi, &dialog);
    uint8_t page[52] = {};
    page[0] = 0x05;
    page[1] = 0x32;
    // Track at once, test write when simulating; another session may follow;
    // track mode 4 (data, recorded uninterrupted); Mode 1 blocks of 2048 bytes.
    page[2] = uint8_t(0x01 | (data.settings.simulate ? 0x10 : 0x00) |
                      (check.capabilities.bufferUnderrunFree ? 0x40 : 0x00));
    page[3] = 0x40 | 0x04;
    page[4] = 0x08;
    if (recorder.SetWriteParameters(page) != kScsiOk) {
        data.message = "The CD drive refused the write parameters of a data track (" + scsi.LastError() + ").";
        return kJobFailed;
    }
    LCDTrackInformation track;
    if (recorder.ReadLastTrackInformation(track) != kScsiOk || !track.nwaValid) {
        data.message = "The CD drive did not tell where the data can be written (" +
                       (scsi.LastError().empty() ? std::string("no next writable address") : scsi.LastError()) + ").";
        return kJobFailed;
    }
    data.startSector = track.nextWritable;
    LCDIsoLayout::Options options;
    options.start = track.nextWritable;
    options.label = data.label;
    options.rockRidge = data.tree->RockRidge();
    options.now = data.now ? data.now : int64_t(std::time(nullptr));
    if (!layout.Build(data.tree->Root(), options, data.message))
        return kJobFailed;
    data.sectors = layout.ImageSectors();
    int32_t capacity = 0;
    LCDCapacitySource source = LCDCapacitySource::Assumed;
    r = recorder.Capacity(check.disc, capacity, source);
    if (r != kScsiOk)
        return r;
    const int64_t last = int64_t(options.start) + layout.ImageSectors();
    if (!data.settings.overburn && last > capacity) {
        data.message = CapacityMessage(capacity, last);
        return kJobFailed;
    }
    if (dialog.IsCancelled())
        return kJobCancelled;
    dialog.SetText(LCDWriteDataCD::kStartingText, 0);
    // From here on a command is not abandoned halfway: Cancel is looked at
    // between writes, and the track begun is closed.
    recorder.SetCancellable(false);
    RecorderTarget target(recorder, options.start);
    Streamer streamer(dialog, data, target, layout.ImageSectors());
    r = streamer.Run(layout);
    const bool failed = r == kJobFailed;
    if (recorder.SynchronizeCache() != kScsiOk && !failed) {
        data.message = "Finishing the data track on the CD failed (" + scsi.LastError() + ").";
        r = kJobFailed;
    }
    if (r == kJobCancelled)
        return r;
    dialog.SetText("Writing Lead-in/Lead-out", 0);
    dialog.SetText("Please wait...", 1);
    if (recorder.CloseSession() != kScsiOk && r == kJobDone) {
        data.message = "Closing the session of the CD failed (" + scsi.LastError() + ").";
        r = kJobFailed;
    }
    if (recorder.SynchronizeCache() != kScsiOk && r == kJobDone) {
        data.message = "Finishing the CD failed (" + scsi.LastError() + ").";
        r = kJobFailed;
    }
    recorder.LoadOrEject(false);
    return r;
}

} // namespace

bool LCDWriteDataCD::ImageInsideTree(const LCDDataTree& tree, const std::string& imagePath)
{
    std::string folder = GetFolderFromPath(imagePath);
    if (folder.empty())
        folder = ".";
    const std::string where = Canonical(folder);
    if (where.empty())
        return false;
    const std::string image = FilePathCat(where, imagePath.substr(imagePath.find_last_of('/') + 1));
    std::vector<const LCDFile*> stack{&tree.Root()};
    while (!stack.empty()) {
        const LCDFile* n = stack.back();
        stack.pop_back();
        if (n->sourcePath.empty() || n->isDirectory) {
            for (const auto& c : n->children)
                if (c->isDirectory || !n->parent)
                    stack.push_back(c.get());
        }
        if (n->sourcePath.empty() || n->isLink)
            continue;
        const std::string real = Canonical(n->sourcePath);
        if (real.empty())
            continue;
        if (n->isDirectory ? image.compare(0, real.size() + 1, real + "/") == 0 : image == real)
            return true;
    }
    return false;
}

int32_t LCDWriteDataCD::Process(LProgressDialog& dialog, Data& data)
{
    data.message.clear();
    data.notes.clear();
    data.sectors = 0;
    data.startSector = 0;
    if (!data.tree || data.tree->Empty()) {
        data.message = kNoFiles;
        return kJobFailed;
    }
    dialog.SetText(kWritingText, 0);
    dialog.SetText(data.label.empty() ? std::string("Please wait...") : data.label, 1);
    LCDIsoLayout layout;
    return data.imagePath.empty() ? ToDisc(dialog, data, layout) : ToImage(dialog, data, layout);
}
