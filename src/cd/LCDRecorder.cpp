#include "cd/LCDRecorder.h"

#include <algorithm>
#include <cstring>

#include "cd/LCDAddress.h"
#include "cd/LSCSI.h"
#include "core/ByteOrder.h"
#include "core/LProgressDialog.h"

namespace {

// An MSF as the drive reports it (minute, second, frame; 00:02:00 is LBA 0).
// Minutes from 90 on are the lead-in, before LBA 0.
int32_t MsfToLba(uint8_t m, uint8_t s, uint8_t f)
{
    const int32_t frames = LCDFramesOf(m, s, f) - kCDLeadInPause;
    return m >= 90 ? frames - 100 * 60 * 75 : frames;
}

// The drive is still at work on something it was told before (02/04/xx:
// becoming ready, operation or long write in progress).
bool StillBusy(const LSCSI& scsi)
{
    if (scsi.Status() == kScsiBusy)
        return true;
    const LScsiSense s = scsi.Sense();
    return s.key == 0x02 && s.asc == 0x04 && (s.ascq == 0x01 || s.ascq == 0x04 || s.ascq == 0x07 || s.ascq == 0x08);
}

} // namespace

LCDRecorder::LCDRecorder(LSCSI& scsi, LProgressDialog* progress) : scsi_(scsi), progress_(progress) {}

int32_t LCDRecorder::Run(uint8_t direction, int32_t timeoutMs, uint32_t length, void* buffer, const LCdb& cdb)
{
    return scsi_.ExecuteCommand(direction, timeoutMs, length, buffer, cdb, Progress());
}

int32_t LCDRecorder::Pause(int32_t ms)
{
    for (int32_t left = ms; left > 0; left -= LSCSI::kWaitSliceMs) {
        scsi_.Clock().Sleep(std::min(left, LSCSI::kWaitSliceMs));
        if (Progress() && Progress()->IsCancelled())
            return kScsiCancelled;
    }
    return kScsiOk;
}

int32_t LCDRecorder::ModeSense(uint8_t page, uint8_t* buffer, uint16_t maximum, uint16_t& got)
{
    got = 0;
    uint8_t header[8] = {};
    int32_t r = Run(kScsiRead, kSenseMs, sizeof header, header, LMmcCommands::ModeSense(page, sizeof header));
    if (r != kScsiOk)
        return r;
    const uint16_t length = uint16_t(std::min<uint32_t>(GetBE16(header) + 2u, maximum));
    std::memset(buffer, 0, maximum);
    r = Run(kScsiRead, kSenseMs, length, buffer, LMmcCommands::ModeSense(page, length));
    if (r == kScsiOk)
        got = length;
    return r;
}

int32_t LCDRecorder::ReadWriteParameters(uint8_t* page52)
{
    uint8_t data[60];
    uint16_t got = 0;
    const int32_t r = ModeSense(0x05, data, sizeof data, got);
    if (r != kScsiOk)
        return r;
    const uint32_t at = 8u + GetBE16(data + 6);
    // A drive that answers without the page has none.
    if (got < at + 2 || (data[at] & 0x3F) != 0x05 || at + 52 > sizeof data)
        return kScsiFailed;
    std::memcpy(page52, data + at, 52);
    return kScsiOk;
}

int32_t LCDRecorder::SetWriteParameters(const uint8_t* page52)
{
    uint8_t sense[60];
    uint16_t got = 0;
    int32_t r = ModeSense(0x05, sense, sizeof sense, got);
    if (r != kScsiOk)
        return r;
    uint8_t select[60] = {};
    select[2] = sense[2];  // the medium type
    std::memcpy(select + 8, page52, 52);
    select[8] &= 0x3F;     // the PS bit is reserved in MODE SELECT
    return Run(kScsiWrite, kSelectMs, sizeof select, select, LMmcCommands::ModeSelect(sizeof select));
}

int32_t LCDRecorder::ReadCapabilities(LCDDriveCapabilities& caps)
{
    uint8_t data[30];
    uint16_t got = 0;
    const int32_t r = ModeSense(0x2A, data, sizeof data, got);
    if (r != kScsiOk)
        return r;
    const uint32_t at = 8u + GetBE16(data + 6);
    if (got < at + 4 || (data[at] & 0x3F) != 0x2A)
        return kScsiFailed;
    const uint8_t* p = data + at;
    caps.writeFlags = p[3];
    caps.bufferUnderrunFree = got > at + 4 && (p[4] & 0x80);
    caps.maxWriteSpeed = got >= at + 20 ? GetBE16(p + 18) : 0;
    return kScsiOk;
}

int32_t LCDRecorder::SetSpeed(uint16_t factor)
{
    const uint32_t kbs = factor == 0 || factor == 0xFFFF ? 0xFFFFu : std::min<uint32_t>(uint32_t(factor) * 177u, 0xFFFFu);
    return Run(kScsiRead, kSenseMs, 0, nullptr, LMmcCommands::SetSpeed(uint16_t(kbs)));
}

int32_t LCDRecorder::ReadSized(LCdb (*command)(uint16_t), size_t minimum, std::vector<uint8_t>& d, uint16_t& length)
{
    uint8_t head[2] = {};
    int32_t r = Run(kScsiRead, kSenseMs, sizeof head, head, command(sizeof head));
    if (r != kScsiOk)
        return r;
    length = uint16_t(std::min<uint32_t>(GetBE16(head) + 2u, 0xFFFFu));
    d.assign(std::max<size_t>(length, minimum), 0);
    return Run(kScsiRead, kSenseMs, length, d.data(), command(length));
}

int32_t LCDRecorder::ReadDiscInformation(LCDDiscInformation& info)
{
    std::vector<uint8_t> d;
    uint16_t length = 0;
    const int32_t r = ReadSized(LMmcCommands::ReadDiscInformation, 24, d, length);
    if (r != kScsiOk)
        return r;
    info.status = d[2];
    info.lastLeadOut = -1;
    if (length >= 24 && !(d[21] == 0xFF && d[22] == 0xFF && d[23] == 0xFF) && d[22] < 60 && d[23] < 75)
        info.lastLeadOut = MsfToLba(d[21], d[22], d[23]);
    return kScsiOk;
}

int32_t LCDRecorder::ReadLastTrackInformation(LCDTrackInformation& info)
{
    std::vector<uint8_t> d;
    uint16_t length = 0;
    const int32_t r = ReadSized(LMmcCommands::ReadLastTrackInformation, 28, d, length);
    if (r != kScsiOk)
        return r;
    info.nwaValid = length >= 16 && (d[7] & 0x01);
    info.nextWritable = int32_t(GetBE32(d.data() + 12));
    info.freeBlocks = int32_t(GetBE32(d.data() + 16));
    return kScsiOk;
}

int32_t LCDRecorder::ReadAtip(int32_t& leadInStart, int32_t& leadOut)
{
    uint8_t d[28] = {};
    const int32_t r = Run(kScsiRead, kSenseMs, sizeof d, d, LMmcCommands::ReadAtip(sizeof d));
    if (r != kScsiOk)
        return r;
    // The descriptor must reach the lead-out field, and times must be times.
    if (GetBE16(d) < 13 || d[9] >= 60 || d[10] >= 75 || d[13] >= 60 || d[14] >= 75)
        return kScsiFailed;
    leadInStart = MsfToLba(d[8], d[9], d[10]);
    leadOut = MsfToLba(d[12], d[13], d[14]);
    return kScsiOk;
}

int32_t LCDRecorder::WriteSectors(const uint8_t* data, uint8_t count, int32_t address, int32_t sectorBytes)
{
    return Run(kScsiWrite, kWriteMs, uint32_t(count) * uint32_t(sectorBytes), const_cast<uint8_t*>(data),
               LMmcCommands::Write10(uint32_t(address), count));
}

int32_t LCDRecorder::SynchronizeCache()
{
    int32_t spent = 0;
    for (;;) {
        const int32_t r = Run(kScsiRead, kSyncMs, 0, nullptr, LMmcCommands::SynchronizeCache());
        if (r == kScsiOk)
            break;
        if (r == kScsiCancelled)
            return r;
        if (!StillBusy(scsi_) || spent >= kSyncMs)
            return kScsiFailed;
        if (Pause(kPollMs) == kScsiCancelled)
            return kScsiCancelled;
        spent += kPollMs;
    }
    return WaitUntilReady(kSyncReadyMs);
}

int32_t LCDRecorder::CloseSession()
{
    const int32_t r = Run(kScsiRead, kImmediateMs, 0, nullptr, LMmcCommands::CloseSession());
    if (r != kScsiOk)
        return r;
    return WaitUntilReady(kCloseReadyMs);
}

int32_t LCDRecorder::Blank()
{
    const int32_t r = Run(kScsiRead, kImmediateMs, 0, nullptr, LMmcCommands::BlankMinimal());
    if (r != kScsiOk)
        return r;
    if (progress_)
        progress_->SetText("Erasing CD-RW Disk", 0);
    return WaitUntilReady(kBlankReadyMs);
}

int32_t LCDRecorder::WaitUntilReady(int32_t ms)
{
    for (int32_t left = ms;;) {
        const int32_t r = Run(kScsiRead, kPollMs, 0, nullptr, LMmcCommands::TestUnitReady());
        if (r != kScsiFailed)
            return r;
        if (left <= 0)
            return kScsiFailed;
        if (Pause(kPollMs) == kScsiCancelled)
            return kScsiCancelled;
        left -= kPollMs;
    }
}

int32_t LCDRecorder::SendCueSheet(const std::vector<uint8_t>& sheet)
{
    return Run(kScsiWrite, 60000, uint32_t(sheet.size()), const_cast<uint8_t*>(sheet.data()),
               LMmcCommands::SendCueSheet(uint32_t(sheet.size())));
}

int32_t LCDRecorder::LoadOrEject(bool load) { return scsi_.LoadOrEject(load, Progress()); }

int32_t LCDRecorder::Capacity(const LCDDiscInformation& info, int32_t& sectors, LCDCapacitySource& source)
{
    int32_t leadIn = 0, leadOut = 0;
    const int32_t r = ReadAtip(leadIn, leadOut);
    if (r == kScsiCancelled)
        return r;
    if (r == kScsiOk && leadOut > 0) {
        sectors = leadOut;
        source = LCDCapacitySource::Atip;
    } else if (info.lastLeadOut > 0) {
        sectors = info.lastLeadOut;
        source = LCDCapacitySource::DiscInformation;
    } else {
        sectors = kAssumedCapacity;
        source = LCDCapacitySource::Assumed;
    }
    return kScsiOk;
}

const char* LCDRecorder::CapacitySourceText(LCDCapacitySource source)
{
    switch (source) {
    case LCDCapacitySource::Atip: return "from the disc's ATIP";
    case LCDCapacitySource::DiscInformation: return "from the disc information";
    case LCDCapacitySource::Assumed: return "assumed: the drive does not tell";
    }
    return "";
}
