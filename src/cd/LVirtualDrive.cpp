#include "cd/LVirtualDrive.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "cd/LCDAddress.h"
#include "core/ByteOrder.h"

namespace {

// The files of a recordable disc inside its folder.
constexpr const char* kStateFile = "disc.state";
constexpr const char* kCueFile = "disc.cue";
constexpr const char* kIsoFile = "disc.iso";

// More than a drive would move in one command.
constexpr uint32_t kMaxTransferBytes = 64u * 1024 * 1024;

class LVirtualDriveHandle : public LScsiTransport {
public:
    explicit LVirtualDriveHandle(std::shared_ptr<LVirtualDrive> drive) : drive_(std::move(drive)) {}
    bool Start(LScsiCommand& command) override
    {
        pending_ = nullptr;
        if (drive_->Execute(command) == LVirtualDrive::Outcome::Done)
            command.done.Set();
        else
            pending_ = &command;  // never completes; Abandon forgets it
        return true;
    }
    void Abandon() override { pending_ = nullptr; }
    std::string Name() const override { return drive_->Entry(); }

private:
    std::shared_ptr<LVirtualDrive> drive_;
    LScsiCommand* pending_ = nullptr;
};

bool EndsWith(const std::string& text, const char* ending)
{
    const size_t n = std::strlen(ending);
    return text.size() >= n && strcasecmp(text.c_str() + text.size() - n, ending) == 0;
}

bool ParseInt(const std::string& text, int32_t& value)
{
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    value = int32_t(std::atol(text.c_str()));
    return true;
}

void PutMsf(uint8_t* p, int32_t lba)
{
    const LCDMsf m = LCDLbaToMsf(lba);
    p[0] = 0;
    p[1] = m.m;
    p[2] = m.s;
    p[3] = m.f;
}

} // namespace

bool LVirtualDrive::ParseEntry(const std::string& entryText, Kind& kind, std::string& path,
                               LVirtualDriveFaults& faults, std::string& error)
{
    faults = LVirtualDriveFaults();
    std::string entry = entryText;
    const size_t q = entry.rfind('?');
    if (q != std::string::npos) {
        const std::string options = entry.substr(q + 1);
        entry.resize(q);
        size_t at = 0;
        while (at <= options.size()) {
            size_t end = options.find('&', at);
            if (end == std::string::npos)
                end = options.size();
            const std::string o = options.substr(at, end - at);
            at = end + 1;
            const size_t eq = o.find('=');
            const std::string name = o.substr(0, eq), value = eq == std::string::npos ? "" : o.substr(eq + 1);
            int32_t a = 0, b = 0;
            if (name == "busy" && ParseInt(value, a)) {
                faults.busyCommands = a;
            } else if (name == "bad") {
                const size_t dash = value.find('-');
                if (!ParseInt(value.substr(0, dash), a) ||
                    !ParseInt(dash == std::string::npos ? value : value.substr(dash + 1), b) || b < a) {
                    error = "In the virtual drive \"" + entryText + "\", \"" + o + "\" is not a sector range like bad=100-120.";
                    return false;
                }
                faults.mediumErrors.push_back({a, b});
            } else if (name == "flaky" || name == "noisy") {
                const size_t dash = value.find('-');
                if (!ParseInt(value.substr(0, dash), a) ||
                    !ParseInt(dash == std::string::npos ? value : value.substr(dash + 1), b) || b < a) {
                    error = "In the virtual drive \"" + entryText + "\", \"" + o + "\" is not a sector range like " +
                            name + "=100-120.";
                    return false;
                }
                (name == "flaky" ? faults.flakySectors : faults.noisySectors).push_back({a, b});
            } else if (name == "hang" && value.empty()) {
                faults.hangAt = LVirtualDriveFaults::kHangEveryRead;
            } else if (name == "hang" && ParseInt(value, a)) {
                faults.hangAt = a;
            } else if (name == "tray" && value == "open") {
                faults.trayOpen = true;
            } else if (name == "nodisc" && value.empty()) {
                faults.noDisc = true;
            } else if (name == "nopage5" && value.empty()) {
                faults.noPage5 = true;
            } else if (name == "nocaps" && value.empty()) {
                faults.noCapabilities = true;
            } else if (name == "writes" && (value == "cdr" || value == "none")) {
                faults.writes = value == "cdr" ? 0x01 : 0x00;
            } else if (name == "maxwrite" && ParseInt(value, a) && a > 0 && a <= 0xFFFF) {
                faults.maxWriteSpeed = uint16_t(a);
            } else if (name == "syncbusy" && ParseInt(value, a)) {
                faults.syncBusy = a;
            } else if (name == "writeerror" && ParseInt(value, a)) {
                faults.writeErrorAt = a;
            } else if (name == "corrupt" && ParseInt(value, a)) {
                faults.corruptAt = a;
            } else if (name == "blankerror" && value.empty()) {
                faults.blankFails = true;
            } else if (name == "capacity" && ParseInt(value, a) && a > 0 && a <= kCD80Sectors * 2) {
                faults.capacity = a;
            } else if (name == "noatip" && value.empty()) {
                faults.noAtip = true;
            } else {
                error = "The virtual drive \"" + entryText + "\" has an unknown fault \"" + o +
                        "\" (busy=N, bad=A-B, hang, hang=LBA, tray=open, nodisc, flaky=A-B, noisy=A-B, nopage5, nocaps, "
                        "writes=cdr, writes=none, maxwrite=KBS, syncbusy=N, writeerror=LBA, corrupt=LBA, blankerror, "
                        "capacity=SECTORS and noatip are known).";
                return false;
            }
            if (end == options.size())
                break;
        }
    }
    struct Prefix {
        const char* text;
        Kind kind;
    };
    for (const Prefix& p : {Prefix{"cdr:", Kind::CDR80}, Prefix{"cdr74:", Kind::CDR74}, Prefix{"cdr80:", Kind::CDR80},
                            Prefix{"cdrw:", Kind::CDRW}}) {
        if (entry.compare(0, std::strlen(p.text), p.text) == 0) {
            kind = p.kind;
            path = entry.substr(std::strlen(p.text));
            if (path.empty()) {
                error = "The virtual drive \"" + entryText + "\" names no folder.";
                return false;
            }
            return true;
        }
    }
    path = entry;
    if (EndsWith(entry, ".cue")) {
        kind = Kind::PressedCue;
        return true;
    }
    if (EndsWith(entry, ".iso")) {
        kind = Kind::PressedIso;
        return true;
    }
    error = "\"" + entryText +
            "\" is no virtual drive: give a .cue or an .iso file, or cdr:FOLDER, cdr74:FOLDER or cdrw:FOLDER.";
    return false;
}

std::shared_ptr<LVirtualDrive> LVirtualDrive::Open(const std::string& entry, std::string& error)
{
    std::shared_ptr<LVirtualDrive> d(new LVirtualDrive);
    if (!ParseEntry(entry, d->kind_, d->path_, d->faults_, error))
        return nullptr;
    d->entry_ = entry;
    d->ResetWriting();
    if (!d->Load(error))
        return nullptr;
    return d;
}

std::shared_ptr<LScsiTransport> LVirtualDrive::Connect()
{
    return std::make_shared<LVirtualDriveHandle>(shared_from_this());
}

int32_t LVirtualDrive::Capacity() const
{
    if (faults_.capacity > 0)
        return faults_.capacity;
    return kind_ == Kind::CDR74 ? kCD74Sectors : kCD80Sectors;
}

bool LVirtualDrive::Load(std::string& error)
{
    image_.reset();
    written_.clear();
    status_ = Status::Blank;
    if (kind_ == Kind::PressedCue || kind_ == Kind::PressedIso) {
        auto image = std::make_unique<LCDImage>();
        if (kind_ == Kind::PressedCue ? !image->OpenCue(path_, error) : !image->OpenIso(path_, error))
            return false;
        image_ = std::move(image);
        status_ = Status::Closed;
        return true;
    }
    if (!CreateFolders(path_)) {
        error = "Cannot use the folder \"" + path_ + "\" of the virtual disc: " + std::strerror(errno) + ".";
        return false;
    }
    LFile state;
    const std::string statePath = FilePathCat(path_, kStateFile);
    if (!state.Open(statePath, LFile::Mode::Read))
        return true;  // no disc written yet: blank
    char text[64] = {};
    state.Read(text, sizeof text - 1);
    const std::string s = text;
    if (s.rfind("status=open", 0) == 0)
        status_ = Status::Open;
    else if (s.rfind("status=closed", 0) == 0)
        status_ = Status::Closed;
    else if (s.rfind("status=blank", 0) == 0)
        return true;
    else {
        error = "The state file \"" + statePath + "\" of the virtual disc is damaged (it holds neither status=open nor status=closed).";
        return false;
    }
    auto image = std::make_unique<LCDImage>();
    const std::string cue = FilePathCat(path_, kCueFile), iso = FilePathCat(path_, kIsoFile);
    if (FileExists(cue) ? !image->OpenCue(cue, error) : !image->OpenIso(iso, error))
        return false;
    for (const LCDImage::Track& t : image->Tracks())
        written_.push_back({t.pregapStart, t.start, t.end, t.data});
    image_ = std::move(image);
    return true;
}

bool LVirtualDrive::Reload()
{
    std::string error;
    ResetWriting();
    return Load(error);
}

void LVirtualDrive::SetBusy(int32_t commands)
{
    std::lock_guard lock(mutex_);
    faults_.busyCommands = std::max(commands, 0);
}

void LVirtualDrive::AddMediumError(int32_t first, int32_t last)
{
    std::lock_guard lock(mutex_);
    faults_.mediumErrors.push_back({first, last});
}

void LVirtualDrive::SetHang(int32_t lba)
{
    std::lock_guard lock(mutex_);
    faults_.hangAt = lba;
}

void LVirtualDrive::SetTrayOpen(bool open)
{
    std::lock_guard lock(mutex_);
    faults_.trayOpen = open;
}

void LVirtualDrive::SetNoDisc(bool none)
{
    std::lock_guard lock(mutex_);
    faults_.noDisc = none;
}

void LVirtualDrive::AddFlakySectors(int32_t first, int32_t last)
{
    std::lock_guard lock(mutex_);
    faults_.flakySectors.push_back({first, last});
}

void LVirtualDrive::AddNoisySectors(int32_t first, int32_t last)
{
    std::lock_guard lock(mutex_);
    faults_.noisySectors.push_back({first, last});
}

void LVirtualDrive::SetFaults(const LVirtualDriveFaults& faults)
{
    std::lock_guard lock(mutex_);
    faults_ = faults;
}

LVirtualDriveFaults LVirtualDrive::Faults() const
{
    std::lock_guard lock(mutex_);
    return faults_;
}

int32_t LVirtualDrive::CommandCount() const
{
    std::lock_guard lock(mutex_);
    return commands_;
}

void LVirtualDrive::Answer(LScsiCommand& c, const uint8_t* data, uint32_t bytes)
{
    c.status = kScsiGood;
    if (c.direction == kScsiRead && c.length) {
        const uint32_t n = data ? std::min(bytes, c.length) : 0;
        if (n)
            std::memcpy(c.buffer, data, n);
        std::memset(c.buffer + n, 0, c.length - n);
    }
}

void LVirtualDrive::Fail(LScsiCommand& c, uint8_t key, uint8_t asc, uint8_t ascq, int32_t info)
{
    c.status = kScsiCheckCondition;
    LScsiFillSense(c.sense, {key, asc, ascq});
    if (info >= 0) {
        c.sense[0] |= 0x80;  // the information field holds the sector at fault
        PutBE32(c.sense + 3, uint32_t(info));
    }
    c.senseLength = 18;
}

bool LVirtualDrive::NeedMedium(LScsiCommand& c)
{
    if (faults_.trayOpen) {
        Fail(c, 0x02, 0x3A, 0x02);
        return false;
    }
    if (faults_.noDisc) {
        Fail(c, 0x02, 0x3A, 0x00);
        return false;
    }
    if (becomingReady_ > 0) {
        --becomingReady_;
        Fail(c, 0x02, 0x04, 0x01);
        return false;
    }
    return true;
}

LVirtualDrive::Outcome LVirtualDrive::Execute(LScsiCommand& c)
{
    std::lock_guard lock(mutex_);
    ++commands_;
    c.status = kScsiGood;
    c.senseLength = 0;
    if (faults_.busyCommands > 0) {
        --faults_.busyCommands;
        c.status = kScsiBusy;
        return Outcome::Done;
    }
    if (c.length > kMaxTransferBytes) {
        Fail(c, 0x05, 0x24, 0x00);
        return Outcome::Done;
    }
    switch (c.cdb[0]) {
    case 0x12: Inquiry(c); break;
    case 0x00:
        if (NeedMedium(c))
            Answer(c, nullptr, 0);
        break;
    case 0x1B: StartStop(c); break;
    case 0x43: ReadToc(c); break;
    case 0xBE: return ReadCd(c);
    case 0x28: return Read10(c);
    case 0x5A: ModeSense(c); break;
    case 0x55: ModeSelect(c); break;
    case 0xBB: SetSpeed(c); break;
    case 0x51: DiscInformation(c); break;
    case 0x52: TrackInformation(c); break;
    case 0x2A: Write10(c); break;
    case 0x5D: SendCueSheet(c); break;
    case 0x35: SynchronizeCache(c); break;
    case 0x5B: CloseTrackSession(c); break;
    case 0xA1: Blank(c); break;
    default: Fail(c, 0x05, 0x20, 0x00); break;
    }
    return Outcome::Done;
}

void LVirtualDrive::Inquiry(LScsiCommand& c)
{
    if (c.cdb[1] & 0x01) {
        Fail(c, 0x05, 0x24, 0x00);
        return;
    }
    uint8_t d[36] = {};
    d[0] = 0x05;  // CD/DVD device
    d[1] = 0x80;  // removable
    d[2] = 0x05;
    d[3] = 0x32;
    d[4] = 31;
    auto field = [&](size_t at, size_t size, const char* text) {
        std::memset(d + at, ' ', size);
        std::memcpy(d + at, text, std::min(size, std::strlen(text)));
    };
    field(8, 8, kVendor);
    field(16, 16, kProduct);
    field(32, 4, kRevision);
    Answer(c, d, std::min<uint32_t>(sizeof d, c.cdb[4]));
}

void LVirtualDrive::StartStop(LScsiCommand& c)
{
    const bool loej = c.cdb[4] & 0x02, start = c.cdb[4] & 0x01;
    if (loej && !start) {
        faults_.trayOpen = true;
        becomingReady_ = 0;
    } else if (loej && start && faults_.trayOpen) {
        faults_.trayOpen = false;
        // A disc just loaded spins up before it can be read.
        becomingReady_ = faults_.noDisc ? 0 : 1;
    }
    Answer(c, nullptr, 0);
}

uint8_t LVirtualDrive::LastTrackNumber() const
{
    return image_ && !image_->Tracks().empty() ? image_->Tracks().back().number : 0;
}

void LVirtualDrive::ReadToc(LScsiCommand& c)
{
    if (!NeedMedium(c))
        return;
    const bool msf = c.cdb[1] & 0x02;
    const uint8_t format = c.cdb[2] & 0x0F;
    const uint32_t allocation = GetBE16(c.cdb + 7);
    std::vector<uint8_t> d;
    if (format == 4) {
        if (!Recordable() || faults_.noAtip) {
            Fail(c, 0x05, 0x24, 0x00);
            return;
        }
        d.assign(28, 0);
        PutBE16(d.data(), 26);
        d[4] = 0x50;  // indicative writing power
        d[6] = uint8_t(0x80 | (kind_ == Kind::CDRW ? 0x40 : 0x00));
        const LCDMsf in = LCDLbaToMsf(kLeadInStart), out = LCDLbaToMsf(Capacity());
        d[8] = in.m, d[9] = in.s, d[10] = in.f;
        d[12] = out.m, d[13] = out.s, d[14] = out.f;
        Answer(c, d.data(), std::min<uint32_t>(uint32_t(d.size()), allocation));
        return;
    }
    if (format != 0 || !image_ || image_->Tracks().empty()) {
        Fail(c, 0x05, 0x24, 0x00);
        return;
    }
    const uint8_t first = c.cdb[6];
    const auto& tracks = image_->Tracks();
    if (first > tracks.back().number && first != 0xAA) {
        Fail(c, 0x05, 0x24, 0x00);
        return;
    }
    d.assign(4, 0);
    auto descriptor = [&](uint8_t control, uint8_t number, int32_t lba) {
        uint8_t e[8] = {0, uint8_t(0x10 | control), number, 0, 0, 0, 0, 0};
        if (msf)
            PutMsf(e + 4, lba);
        else
            PutBE32(e + 4, uint32_t(lba));
        d.insert(d.end(), e, e + 8);
    };
    for (const LCDImage::Track& t : tracks)
        if (first != 0xAA && t.number >= first)
            descriptor(t.data ? 0x04 : 0x00, t.number, t.start);
    descriptor(tracks.back().data ? 0x04 : 0x00, 0xAA, image_->LeadOut());
    PutBE16(d.data(), uint16_t(d.size() - 2));
    d[2] = tracks.front().number;
    d[3] = tracks.back().number;
    Answer(c, d.data(), std::min<uint32_t>(uint32_t(d.size()), allocation));
}

bool LVirtualDrive::ReadFaults(LScsiCommand& c, int32_t lba, int32_t count, Outcome& outcome)
{
    const int64_t last = int64_t(lba) + count - 1;
    if (faults_.hangAt == LVirtualDriveFaults::kHangEveryRead || (faults_.hangAt >= lba && faults_.hangAt <= last)) {
        outcome = Outcome::Hang;
        return true;
    }
    for (const auto& [a, b] : faults_.mediumErrors) {
        if (a <= last && b >= lba) {
            Fail(c, 0x03, 0x11, 0x00, std::max(a, lba));
            outcome = Outcome::Done;
            return true;
        }
    }
    return false;
}

LVirtualDrive::Outcome LVirtualDrive::ReadCd(LScsiCommand& c)
{
    if (!NeedMedium(c))
        return Outcome::Done;
    const uint8_t expected = (c.cdb[1] >> 2) & 0x07;
    const int32_t lba = int32_t(GetBE32(c.cdb + 2));
    const int32_t count = int32_t((uint32_t(c.cdb[6]) << 16) | (uint32_t(c.cdb[7]) << 8) | c.cdb[8]);
    const uint8_t fields = c.cdb[9];
    if (count == 0) {
        Answer(c, nullptr, 0);
        return Outcome::Done;
    }
    // Audio sectors have no headers: any request for the user data gives all 2352 bytes.
    if ((expected != 0 && expected != 1) || (fields & 0xF8) == 0 || c.cdb[10] != 0 ||
        uint64_t(count) * kCDAudioSectorBytes > c.length) {
        Fail(c, 0x05, 0x24, 0x00);
        return Outcome::Done;
    }
    if (!image_ || lba < 0 || int64_t(lba) + count > image_->LeadOut()) {
        Fail(c, 0x05, 0x21, 0x00);
        return Outcome::Done;
    }
    Outcome outcome = Outcome::Done;
    if (ReadFaults(c, lba, count, outcome))
        return outcome;
    if (!image_->AllOfKind(lba, count, false)) {
        Fail(c, 0x05, 0x64, 0x00);
        return Outcome::Done;
    }
    if (!image_->ReadAudio(lba, count, c.buffer)) {
        Fail(c, 0x03, 0x11, 0x00, lba);
        return Outcome::Done;
    }
    Misread(c.buffer, lba, count);
    c.status = kScsiGood;
    return Outcome::Done;
}

void LVirtualDrive::Misread(uint8_t* data, int32_t lba, int32_t count)
{
    auto within = [](const std::vector<std::pair<int32_t, int32_t>>& ranges, int32_t sector) {
        for (const auto& [a, b] : ranges)
            if (sector >= a && sector <= b)
                return true;
        return false;
    };
    for (int32_t i = 0; i < count; ++i) {
        const int32_t sector = lba + i;
        bool spoil = within(faults_.noisySectors, sector);
        if (!spoil && within(faults_.flakySectors, sector) &&
            std::find(misreadOnce_.begin(), misreadOnce_.end(), sector) == misreadOnce_.end()) {
            misreadOnce_.push_back(sector);
            spoil = true;
        }
        if (!spoil)
            continue;
        // Every word changes, and differently on every misread.
        const uint32_t seed = ++misreads_ * 2654435761u;
        uint8_t* s = data + size_t(i) * kCDAudioSectorBytes;
        for (int32_t w = 0; w < kCDAudioSectorBytes / 4; ++w) {
            uint32_t v = 0;
            std::memcpy(&v, s + 4 * w, 4);
            v ^= (seed ^ (uint32_t(w) * 40503u)) | 1u;
            std::memcpy(s + 4 * w, &v, 4);
        }
    }
}

LVirtualDrive::Outcome LVirtualDrive::Read10(LScsiCommand& c)
{
    if (!NeedMedium(c))
        return Outcome::Done;
    const int32_t lba = int32_t(GetBE32(c.cdb + 2));
    const int32_t count = GetBE16(c.cdb + 7);
    if (uint64_t(count) * kCDDataSectorBytes > c.length) {
        Fail(c, 0x05, 0x24, 0x00);
        return Outcome::Done;
    }
    if (count == 0) {
        Answer(c, nullptr, 0);
        return Outcome::Done;
    }
    if (!image_ || lba < 0 || int64_t(lba) + count > image_->LeadOut()) {
        Fail(c, 0x05, 0x21, 0x00);
        return Outcome::Done;
    }
    Outcome outcome = Outcome::Done;
    if (ReadFaults(c, lba, count, outcome))
        return outcome;
    if (!image_->AllOfKind(lba, count, true)) {
        Fail(c, 0x05, 0x64, 0x00);
        return Outcome::Done;
    }
    if (!image_->ReadData(lba, count, c.buffer)) {
        Fail(c, 0x03, 0x11, 0x00, lba);
        return Outcome::Done;
    }
    c.status = kScsiGood;
    return Outcome::Done;
}

void LVirtualDrive::ModeSense(LScsiCommand& c)
{
    const uint8_t page = c.cdb[2] & 0x3F;
    const uint32_t allocation = GetBE16(c.cdb + 7);
    std::vector<uint8_t> d(8, 0);
    if ((page == 0x05 || page == 0x3F) && !faults_.noPage5)
        d.insert(d.end(), page5_, page5_ + sizeof page5_);
    if ((page == 0x2A || page == 0x3F) && !faults_.noCapabilities) {
        uint8_t p[22] = {};
        p[0] = 0x2A;
        p[1] = 20;
        p[2] = 0x03;  // reads CD-R and CD-RW
        p[3] = uint8_t(faults_.writes ? faults_.writes | 0x04 : 0x00);  // writes CD-R and CD-RW, test write
        p[4] = 0xF1;  // buffer-underrun free, multi-session, audio play, mode 2 forms
        p[5] = 0x03;  // CD-DA commands, accurate CD-DA stream
        p[6] = 0x29;  // tray loader, eject, lock
        PutBE16(p + 8, kMaxReadSpeed);
        PutBE16(p + 10, 256);
        PutBE16(p + 12, 2048);
        PutBE16(p + 14, readSpeed_);
        PutBE16(p + 18, MaxWriteSpeed());
        PutBE16(p + 20, writeSpeed_);
        d.insert(d.end(), p, p + sizeof p);
    }
    if (d.size() == 8) {
        Fail(c, 0x05, 0x24, 0x00);
        return;
    }
    PutBE16(d.data(), uint16_t(d.size() - 2));
    d[2] = kind_ == Kind::CDRW ? 0x03 : Recordable() ? 0x02 : 0x01;  // medium type
    Answer(c, d.data(), std::min<uint32_t>(uint32_t(d.size()), allocation));
}

void LVirtualDrive::ModeSelect(LScsiCommand& c)
{
    const uint32_t length = GetBE16(c.cdb + 7);
    if (faults_.noPage5 || !(c.cdb[1] & 0x10) || length > c.length || length < 8 + 4) {
        Fail(c, 0x05, 0x24, 0x00);
        return;
    }
    const uint8_t* p = c.buffer + 8 + GetBE16(c.buffer + 6);
    const uint8_t* end = c.buffer + length;
    if (p + 2 > end || (p[0] & 0x3F) != 0x05 || p[1] < 0x32 || p + 2 + p[1] > end) {
        Fail(c, 0x05, 0x26, 0x00);
        return;
    }
    const uint8_t writeType = p[2] & 0x0F, trackMode = p[3] & 0x0F, blockType = p[4] & 0x0F;
    const bool audio = blockType == 0 && (trackMode & 0x04) == 0;
    const bool data = blockType == 8 && (trackMode & 0x04) != 0;
    if ((writeType != 1 && writeType != 2) || (!audio && !data) || (writeType == 2 && !audio)) {
        Fail(c, 0x05, 0x26, 0x00);
        return;
    }
    std::memcpy(page5_, p, sizeof page5_);
    page5_[0] &= 0x3F;
    page5_[1] = 0x32;
    Answer(c, nullptr, 0);
}

void LVirtualDrive::SetSpeed(LScsiCommand& c)
{
    const uint16_t read = GetBE16(c.cdb + 2), write = GetBE16(c.cdb + 4);
    readSpeed_ = std::min(read, kMaxReadSpeed);
    writeSpeed_ = std::min(write, MaxWriteSpeed());
    Answer(c, nullptr, 0);
}

void LVirtualDrive::DiscInformation(LScsiCommand& c)
{
    if (!NeedMedium(c))
        return;
    uint8_t d[34] = {};
    PutBE16(d, 32);
    const uint8_t discStatus = status_ == Status::Blank ? 0 : status_ == Status::Open ? 1 : 2;
    const uint8_t sessionState = status_ == Status::Blank ? 0 : status_ == Status::Open ? 1 : 3;
    d[2] = uint8_t((kind_ == Kind::CDRW ? 0x10 : 0) | (sessionState << 2) | discStatus);
    d[3] = 1;
    d[4] = 1;
    d[5] = 1;
    d[6] = status_ == Status::Closed ? LastTrackNumber() : uint8_t(written_.size() + 1);
    d[7] = 0x20;  // unrestricted use
    if (Recordable() && status_ != Status::Closed) {
        PutMsf(d + 16, kLeadInStart);
        PutMsf(d + 20, Capacity());
    } else {
        std::memset(d + 16, 0xFF, 8);
    }
    Answer(c, d, std::min<uint32_t>(sizeof d, GetBE16(c.cdb + 7)));
}

void LVirtualDrive::TrackInformation(LScsiCommand& c)
{
    if (!NeedMedium(c))
        return;
    const uint8_t type = c.cdb[1] & 0x03;
    const uint32_t value = GetBE32(c.cdb + 2);
    uint8_t d[36] = {};
    PutBE16(d, 34);
    d[3] = 1;
    const bool invisible = type == 1 && value == 0xFF;
    if (invisible) {
        const bool writable = Recordable() && status_ != Status::Closed;
        d[2] = uint8_t(written_.size() + 1);
        d[5] = uint8_t(page5_[3] & 0x0F);
        d[6] = uint8_t(0x40 | (trackOpen_ ? 0x80 : 0) | ((page5_[3] & 0x04) ? 0x01 : 0x0F));
        if (writable) {
            const int32_t nwa = NextWritable();
            d[7] = 0x01;  // the next writable address is valid
            PutBE32(d + 8, uint32_t(trackOpen_ ? trackStart_ : nwa));
            PutBE32(d + 12, uint32_t(nwa));
            PutBE32(d + 16, uint32_t(std::max(Capacity() - nwa, 0)));
            PutBE32(d + 24, uint32_t(std::max(Capacity() - (trackOpen_ ? trackStart_ : nwa), 0)));
        }
        Answer(c, d, std::min<uint32_t>(sizeof d, GetBE16(c.cdb + 7)));
        return;
    }
    const LCDImage::Track* t = nullptr;
    if (image_) {
        if (type == 1) {
            for (const LCDImage::Track& x : image_->Tracks())
                if (x.number == value)
                    t = &x;
        } else if (type == 0) {
            t = image_->TrackAt(int32_t(value));
        }
    }
    if (!t) {
        Fail(c, 0x05, 0x24, 0x00);
        return;
    }
    d[2] = t->number;
    d[5] = t->data ? 0x04 : 0x00;
    d[6] = t->data ? 0x01 : 0x0F;
    PutBE32(d + 8, uint32_t(t->start));
    PutBE32(d + 24, uint32_t(t->end - t->start));
    PutBE32(d + 28, uint32_t(t->end - 1));
    Answer(c, d, std::min<uint32_t>(sizeof d, GetBE16(c.cdb + 7)));
}
