#include "CdTestSupport.h"

#include <cstdio>
#include <fcntl.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "cd/LCDDrives.h"
#include "cd/LCDToc.h"
#include "cd/LVirtualDrive.h"
#include "support/TestSupport.h"

namespace cdtest {

void MakeBin(const std::string& path, int32_t sectors, std::vector<int32_t> marked)
{
    int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
    if (fd < 0)
        return;
    if (::ftruncate(fd, off_t(sectors) * 2352) != 0) {
        ::close(fd);
        return;
    }
    marked.push_back(0);
    marked.push_back(sectors - 1);
    std::string sector(2352, '\0');
    for (int32_t s : marked) {
        if (s < 0 || s >= sectors)
            continue;
        for (size_t i = 0; i < sector.size(); ++i)
            sector[i] = char((uint32_t(s) * 131u + uint32_t(i) * 7u + 1u) & 0xFF);
        if (::pwrite(fd, sector.data(), sector.size(), off_t(s) * 2352) != ssize_t(sector.size()))
            break;
    }
    ::close(fd);
}

std::string FileSectors(const std::string& path, int32_t first, int32_t count, int32_t bytesPerSector)
{
    std::string out(size_t(count) * size_t(bytesPerSector), '\0');
    int fd = ::open(path.c_str(), O_RDONLY);
    if (fd >= 0) {
        if (::pread(fd, out.data(), out.size(), off_t(first) * bytesPerSector) < 0)
            out.clear();
        ::close(fd);
    }
    return out;
}

std::vector<std::pair<int32_t, int32_t>> CdInfoToc(const std::string& cue)
{
    std::vector<std::pair<int32_t, int32_t>> out;
    const std::string listing = test::TempPath("cd-info.txt");
    if (test::Run("cd-info --no-cddb --no-device-info --no-analyze --cue-file " + test::Quote(cue) + " > " +
                  test::Quote(listing) + " 2>&1") != 0)
        return out;
    std::istringstream lines(test::ReadFileBytes(listing));
    std::string line;
    bool inList = false;
    while (std::getline(lines, line)) {
        if (line.find("Track List") != std::string::npos) {
            inList = true;
            continue;
        }
        int number = 0, m = 0, s = 0, f = 0, lsn = 0;
        if (inList && std::sscanf(line.c_str(), " %d: %d:%d:%d %d", &number, &m, &s, &f, &lsn) == 5)
            out.push_back({number, lsn});
        else if (inList && line.find(':') == std::string::npos)
            inList = false;
    }
    return out;
}

std::vector<std::pair<int32_t, int32_t>> DriveToc(LSCSI& scsi)
{
    std::vector<std::pair<int32_t, int32_t>> out;
    LCDToc toc;
    if (LCDToc::Read(scsi, toc) != kScsiOk)
        return out;
    for (int32_t i = 0; i < toc.count; ++i)
        out.push_back({toc.firstTrack + i, toc.starts[size_t(i)]});
    out.push_back({170, toc.starts.back()});
    return out;
}

int32_t Run(LSCSI& scsi, const LCdb& cdb, std::vector<uint8_t>& data, uint8_t direction)
{
    return scsi.ExecuteCommand(direction, 5000, uint32_t(data.size()), data.empty() ? nullptr : data.data(), cdb);
}

bool OpenVirtual(LSCSI& scsi, const std::string& entry, std::string* error)
{
    std::string e;
    std::shared_ptr<LVirtualDrive> d = LVirtualDrive::Open(entry, e);
    if (error)
        *error = e;
    if (!d)
        return false;
    scsi.Open(d->Connect());
    return true;
}

std::string MakeAudioDisc(const std::string& name, const std::vector<int32_t>& trackSectors)
{
    std::string cue = "FILE \"" + name + ".bin\" BINARY\n";
    int32_t at = 0;
    for (size_t i = 0; i < trackSectors.size(); ++i) {
        char line[80];
        std::snprintf(line, sizeof line, "  TRACK %02d AUDIO\n    INDEX 01 %02d:%02d:%02d\n", int(i + 1), int(at / 4500),
                      int(at / 75 % 60), int(at % 75));
        cue += line;
        at += trackSectors[i];
    }
    std::string bin(size_t(at) * 2352, '\0');
    uint32_t x = 0x2545F491u ^ uint32_t(name.size());
    for (char& c : bin) {
        x = x * 1664525u + 1013904223u;
        c = char(x >> 24);
    }
    test::WriteFileBytes(test::TempPath(name + ".bin"), bin);
    const std::string path = test::TempPath(name + ".cue");
    test::WriteFileBytes(path, cue);
    return path;
}

void UseVirtualDrives(const std::string& entries)
{
    static const std::string none = test::TempPath("no-drives");
    ::mkdir(none.c_str(), 0755);
    LCDDrives::SetSystemForTest(none, nullptr);
    LCDDrives::ForgetVirtualDrives();
    ::setenv("KELVANE_CD_DRIVES", entries.c_str(), 1);
}

namespace {

class CancelWhenWindow : public LProgressWindow {
public:
    explicit CancelWhenWindow(CancelWhen& owner) : owner_(owner) {}
    void SetText(int, const std::string& text) override { owner_.lines.push_back(text); }
    void SetPercent(int32_t) override {}
    bool Pump() override { return owner_.cancelWhen && owner_.cancelWhen(); }

private:
    CancelWhen& owner_;
};

} // namespace

CancelWhen::CancelWhen(std::function<bool()> condition) : cancelWhen(std::move(condition)) { LProgressSetBackend(this); }
CancelWhen::~CancelWhen() { LProgressSetBackend(nullptr); }

std::unique_ptr<LProgressWindow> CancelWhen::Open(const std::string& title)
{
    titles.push_back(title);
    return std::make_unique<CancelWhenWindow>(*this);
}

} // namespace cdtest
