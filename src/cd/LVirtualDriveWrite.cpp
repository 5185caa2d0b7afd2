// The writing side of the virtual drive: write parameters, track at once and
// session at once, closing, blanking, and the files a written disc leaves.
#include <algorithm>
#include <cstring>
#include <unistd.h>

#include "cd/LCDAddress.h"
#include "cd/LVirtualDrive.h"
#include "core/ByteOrder.h"

namespace {

constexpr const char* kStateFile = "disc.state";
constexpr const char* kCueFile = "disc.cue";
constexpr const char* kBinFile = "disc.bin";
constexpr const char* kIsoFile = "disc.iso";
// The most CD-TEXT packs kept from a lead-in (it repeats the same few).
constexpr size_t kMaxLeadInPacks = 8192;

bool Bcd(uint8_t value, int32_t& out)
{
    if ((value >> 4) > 9 || (value & 0x0F) > 9)
        return false;
    out = (value >> 4) * 10 + (value & 0x0F);
    return true;
}

} // namespace

void LVirtualDrive::ResetWriting()
{
    std::memset(page5_, 0, sizeof page5_);
    page5_[0] = 0x05;
    page5_[1] = 0x32;
    page5_[2] = 0x01;  // track at once
    PutBE16(page5_ + 14, 150);
    simulating_ = false;
    trackOpen_ = false;
    dao_.clear();
    daoLeadOut_ = 0;
    daoText_ = false;
    leadInPacks_.clear();
    file_.Close();
}

int32_t LVirtualDrive::NextWritable() const
{
    if (trackOpen_ || !dao_.empty())
        return nwa_;
    if (written_.empty())
        return 0;
    return written_.back().end + (written_.back().data ? 0 : GetBE16(page5_ + 14));
}

bool LVirtualDrive::SaveState(Status status)
{
    const std::string text = status == Status::Open ? "status=open\n" : "status=closed\n";
    return WriteFileAtomically(FilePathCat(path_, kStateFile), text.data(), text.size());
}

bool LVirtualDrive::SaveAudio(const std::vector<Written>& tracks, const LCDText* text)
{
    LCueSheet sheet;
    sheet.files.push_back({kBinFile, 0});
    for (size_t i = 0; i < tracks.size(); ++i) {
        LCueSheet::Track t;
        t.number = uint8_t(i + 1);
        if (tracks[i].pregapStart >= 0 && tracks[i].pregapStart < tracks[i].start)
            t.indexes.push_back({0, tracks[i].pregapStart});
        t.indexes.push_back({1, tracks[i].start});
        if (text && i + 1 < text->titles.size())
            t.title = text->titles[i + 1];
        if (text && i + 1 < text->performers.size())
            t.performer = text->performers[i + 1];
        sheet.tracks.push_back(t);
    }
    if (text && !text->titles.empty())
        sheet.title = text->titles[0];
    if (text && !text->performers.empty())
        sheet.performer = text->performers[0];
    const std::string cue = sheet.Write();
    return WriteFileAtomically(FilePathCat(path_, kCueFile), cue.data(), cue.size());
}

void LVirtualDrive::Write10(LScsiCommand& c)
{
    if (!NeedMedium(c))
        return;
    const int32_t lba = int32_t(GetBE32(c.cdb + 2));
    const int32_t count = GetBE16(c.cdb + 7);
    if (!Recordable()) {
        Fail(c, 0x05, 0x30, 0x05);
        return;
    }
    if (status_ == Status::Closed) {
        Fail(c, 0x05, 0x21, 0x02);
        return;
    }
    if (!dao_.empty() && lba < -kCDLeadInPause) {
        WriteLeadIn(c, lba, count);
        return;
    }
    const bool data = (page5_[4] & 0x0F) == 8;
    const int32_t blockBytes = data ? kCDDataSectorBytes : kCDAudioSectorBytes;
    if (uint64_t(count) * uint64_t(blockBytes) != c.length) {
        Fail(c, 0x05, 0x24, 0x00);
        return;
    }
    if (lba != NextWritable()) {
        Fail(c, 0x05, 0x21, 0x02);
        return;
    }
    const int64_t end = int64_t(lba) + count;
    if (end > Capacity() || (!dao_.empty() && end > daoLeadOut_)) {
        Fail(c, 0x05, 0x21, 0x00);
        return;
    }
    // Checked before a track is opened: a track whose first write failed holds nothing.
    if (faults_.writeErrorAt >= lba && faults_.writeErrorAt < end) {
        Fail(c, 0x03, 0x0C, 0x00, faults_.writeErrorAt);
        return;
    }
    if (dao_.empty() && !trackOpen_) {
        // A disc holds audio tracks or one data track.
        if (!written_.empty() && (written_.back().data || data)) {
            Fail(c, 0x05, 0x64, 0x00);
            return;
        }
        trackOpen_ = true;
        trackStart_ = lba;
        trackPregapStart_ = written_.empty() ? lba : written_.back().end;
        trackData_ = data;
        simulating_ = page5_[2] & 0x10;
        if (!simulating_ && !file_.IsOpen() &&
            !file_.Open(FilePathCat(path_, data ? kIsoFile : kBinFile),
                        written_.empty() ? LFile::Mode::Create : LFile::Mode::OpenAlways)) {
            trackOpen_ = false;
            Fail(c, 0x03, 0x0C, 0x00);
            return;
        }
    } else if (trackOpen_ && data != trackData_) {
        Fail(c, 0x05, 0x64, 0x00);
        return;
    }
    if (!simulating_ && count > 0) {
        // The pause before track 1 of a session-at-once disc is not kept: the
        // image starts at LBA 0.
        const int32_t skip = std::max(0, -lba);
        const int64_t bytes = int64_t(count - skip) * blockBytes;
        if (bytes > 0 && (!file_.Seek(int64_t(lba + skip) * blockBytes) ||
                          file_.Write(c.buffer + int64_t(skip) * blockBytes, int32_t(bytes)) != bytes)) {
            Fail(c, 0x03, 0x0C, 0x00, lba);
            return;
        }
        if (faults_.corruptAt >= lba + skip && faults_.corruptAt < end) {
            // One bit of the sector is stored wrong, and the drive does not notice.
            const int64_t at = int64_t(faults_.corruptAt) * blockBytes + 100;
            const uint8_t wrong = uint8_t(c.buffer[at - int64_t(lba) * blockBytes] ^ 0x01);
            file_.Seek(at);
            file_.Write(&wrong, 1);
        }
    }
    nwa_ = int32_t(end);
    Answer(c, nullptr, 0);
}

void LVirtualDrive::WriteLeadIn(LScsiCommand& c, int32_t lba, int32_t count)
{
    if (!daoText_ || lba < kLeadInStart || int64_t(lba) + count > -kCDLeadInPause) {
        Fail(c, 0x05, 0x21, 0x02);
        return;
    }
    if (uint64_t(count) * 96 != c.length) {
        Fail(c, 0x05, 0x24, 0x00);
        return;
    }
    for (int32_t b = 0; b < count && leadInPacks_.size() < kMaxLeadInPacks; ++b) {
        LCDText::Pack four[4];
        LCDText::FromLeadIn(c.buffer + size_t(b) * 96, four);
        leadInPacks_.insert(leadInPacks_.end(), four, four + 4);
    }
    Answer(c, nullptr, 0);
}

void LVirtualDrive::SendCueSheet(LScsiCommand& c)
{
    if (!NeedMedium(c))
        return;
    if (!Recordable() || status_ != Status::Blank || (page5_[2] & 0x0F) != 2 || trackOpen_) {
        Fail(c, 0x05, 0x2C, 0x00);
        return;
    }
    const uint32_t length = (uint32_t(c.cdb[6]) << 16) | (uint32_t(c.cdb[7]) << 8) | c.cdb[8];
    if (length % 8 != 0 || length < 24 || length > c.length) {
        Fail(c, 0x05, 0x26, 0x00);
        return;
    }
    std::vector<DaoTrack> tracks;
    int32_t leadOut = -1, previous = INT32_MIN;
    bool text = false;
    for (uint32_t at = 0; at < length; at += 8) {
        const uint8_t* e = c.buffer + at;
        const bool first = at == 0, last = at + 8 == length;
        if (e[5] > 99 || e[6] > 59 || e[7] > 74) {
            Fail(c, 0x05, 0x26, 0x00);
            return;
        }
        const int32_t lba = LCDFramesOf(e[5], e[6], e[7]) - kCDLeadInPause;
        int32_t number = 0, index = 0;
        bool ok = true;
        if (first) {
            ok = e[1] == 0;
            text = (e[3] & 0x40) != 0;
        } else if (last) {
            ok = e[1] == 0xAA && lba >= previous;
            leadOut = lba;
        } else {
            ok = Bcd(e[1], number) && Bcd(e[2], index) && number >= 1 && lba >= previous && (e[0] & 0x40) == 0 &&
                 (e[3] & 0x3F) <= 0x01;
            if (ok && (tracks.empty() || tracks.back().number != number)) {
                ok = tracks.empty() || number == tracks.back().number + 1;
                tracks.push_back({uint8_t(number), false, lba, INT32_MIN});
            }
            if (ok && index == 1)
                tracks.back().start = lba;
            previous = lba;
        }
        if (!ok) {
            Fail(c, 0x05, 0x26, 0x00);
            return;
        }
    }
    bool complete = !tracks.empty() && tracks.front().pregapStart >= -kCDLeadInPause && tracks.front().pregapStart <= 0;
    for (const DaoTrack& t : tracks)
        complete = complete && t.start != INT32_MIN && t.start < leadOut;
    if (!complete) {
        Fail(c, 0x05, 0x26, 0x00);
        return;
    }
    if (leadOut > Capacity()) {
        Fail(c, 0x05, 0x21, 0x00);
        return;
    }
    simulating_ = page5_[2] & 0x10;
    if (!simulating_ && !file_.Open(FilePathCat(path_, kBinFile), LFile::Mode::Create)) {
        Fail(c, 0x03, 0x0C, 0x00);
        return;
    }
    dao_ = tracks;
    daoLeadOut_ = leadOut;
    daoText_ = text;
    leadInPacks_.clear();
    nwa_ = tracks.front().pregapStart;
    Answer(c, nullptr, 0);
}

bool LVirtualDrive::CloseTrack()
{
    if (!trackOpen_)
        return true;
    written_.push_back({trackPregapStart_, trackStart_, nwa_, trackData_});
    trackOpen_ = false;
    status_ = Status::Open;
    if (simulating_)
        return true;
    file_.Flush();
    if (trackData_) {
        file_.SetEndOfFile();
        file_.Close();
    }
    auto image = std::make_unique<LCDImage>();
    std::string error;
    const bool saved = (trackData_ || SaveAudio(written_, nullptr)) && SaveState(Status::Open);
    if (!saved || (trackData_ ? !image->OpenIso(FilePathCat(path_, kIsoFile), error)
                              : !image->OpenCue(FilePathCat(path_, kCueFile), error)))
        return false;
    image_ = std::move(image);
    return true;
}

bool LVirtualDrive::CloseSession()
{
    if (!CloseTrack() || written_.empty())
        return false;
    if (simulating_)
        return Reload();
    file_.Close();
    if (!SaveState(Status::Closed))
        return false;
    status_ = Status::Closed;
    return true;
}

void LVirtualDrive::SynchronizeCache(LScsiCommand& c)
{
    if (!NeedMedium(c))
        return;
    if (faults_.syncBusy > 0) {
        --faults_.syncBusy;
        Fail(c, 0x02, 0x04, 0x08);
        return;
    }
    if (!dao_.empty()) {
        if (nwa_ == dao_.front().pregapStart) {
            Answer(c, nullptr, 0);  // nothing written yet
            return;
        }
        if (nwa_ < daoLeadOut_) {
            Fail(c, 0x05, 0x2C, 0x00);
            return;
        }
        // The whole disc is written: lead-in and lead-out follow, the disc is closed.
        std::vector<Written> tracks;
        for (size_t i = 0; i < dao_.size(); ++i)
            tracks.push_back({dao_[i].pregapStart, dao_[i].start,
                              i + 1 < dao_.size() ? dao_[i + 1].pregapStart : daoLeadOut_, false});
        LCDText text;
        const bool hasText = text.Parse(leadInPacks_);
        if (!simulating_) {
            file_.Flush();
            file_.Close();
            if (!SaveAudio(tracks, hasText ? &text : nullptr) || !SaveState(Status::Closed)) {
                Fail(c, 0x03, 0x0C, 0x00);
                return;
            }
        }
        Reload();
        Answer(c, nullptr, 0);
        return;
    }
    if (!CloseTrack()) {
        Fail(c, 0x03, 0x0C, 0x00);
        return;
    }
    Answer(c, nullptr, 0);
}

void LVirtualDrive::CloseTrackSession(LScsiCommand& c)
{
    if (!NeedMedium(c))
        return;
    const uint8_t function = c.cdb[2] & 0x07;
    if (!Recordable() || status_ == Status::Closed || !dao_.empty() || (function != 1 && function != 2)) {
        Fail(c, 0x05, function == 1 || function == 2 ? 0x2C : 0x24, 0x00);
        return;
    }
    const bool ok = function == 1 ? CloseTrack() : CloseSession();
    if (!ok) {
        if (written_.empty())
            Fail(c, 0x05, 0x2C, 0x00);
        else
            Fail(c, 0x03, 0x0C, 0x00);
        return;
    }
    Answer(c, nullptr, 0);
}

void LVirtualDrive::Blank(LScsiCommand& c)
{
    if (!NeedMedium(c))
        return;
    const uint8_t type = c.cdb[1] & 0x07;
    if (kind_ != Kind::CDRW) {
        Fail(c, 0x05, 0x30, 0x05);
        return;
    }
    if (type > 1) {
        Fail(c, 0x05, 0x24, 0x00);
        return;
    }
    if (faults_.blankFails) {
        Fail(c, 0x03, 0x51, 0x00);
        return;
    }
    file_.Close();
    for (const char* name : {kStateFile, kCueFile, kBinFile, kIsoFile})
        ::unlink(FilePathCat(path_, name).c_str());
    Reload();
    Answer(c, nullptr, 0);
}
