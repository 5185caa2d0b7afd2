// Session at once: the layout goes to the drive as a cue sheet, CD-TEXT into
// the lead-in, then the tracks without gaps from LBA -150 to the lead-out.
#include <algorithm>

#include "cd/LCDAddress.h"
#include "cd/LCDBurnAudioSCSI.h"
#include "cd/LCDText.h"
#include "core/LProgressDialog.h"

namespace {

uint8_t Bcd(int32_t value) { return uint8_t(((value / 10) << 4) | (value % 10)); }

// An entry of the cue sheet; the time is binary MSF with 00:00:00 at LBA -150.
void Entry(std::vector<uint8_t>& sheet, uint8_t number, uint8_t index, uint8_t dataForm, int32_t lba)
{
    const int32_t f = lba + kCDLeadInPause;
    const uint8_t e[8] = {0x01, number, index, dataForm, 0x00, uint8_t(f / (60 * 75)), uint8_t(f / 75 % 60),
                          uint8_t(f % 75)};
    for (uint8_t b : e)
        sheet.push_back(b);
}

// Where the lead-in starts when the disc does not say: 97:26:66, as most discs have it.
constexpr int32_t kUsualLeadInStart = -11634;
constexpr int32_t kCdTextBlockBytes = 96;

} // namespace

std::vector<uint8_t> LCDBurnAudioSCSI::CueSheet(const std::vector<int32_t>& starts, int32_t leadOut, bool cdText)
{
    std::vector<uint8_t> sheet;
    // Data form 01: CD-DA in the lead-in and lead-out; bit 6 announces CD-TEXT.
    Entry(sheet, 0x00, 0x00, uint8_t(cdText ? 0x41 : 0x01), -kCDLeadInPause);
    for (size_t i = 0; i < starts.size(); ++i) {
        if (i == 0)
            Entry(sheet, 0x01, 0x00, 0x00, -kCDLeadInPause);
        Entry(sheet, Bcd(int32_t(i + 1)), 0x01, 0x00, starts[i]);
    }
    Entry(sheet, 0xAA, 0x01, 0x01, leadOut);
    return sheet;
}

int32_t LCDBurnAudioSCSI::WriteCdText()
{
    LCDText text;
    text.titles.push_back(data_.albumTitle);
    for (const LCDBurnTrack& t : data_.tracks)
        text.titles.push_back(t.title);
    const std::vector<uint8_t> blocks = LCDText::LeadInBlocks(text.Packs());
    int32_t leadIn = 0, leadOut = 0;
    if (recorder_->ReadAtip(leadIn, leadOut) != kScsiOk || leadIn >= -kCDLeadInPause)
        leadIn = kUsualLeadInStart;
    const int32_t count = int32_t(blocks.size() / kCdTextBlockBytes);
    for (int32_t at = 0; at < count;) {
        const int32_t n = std::min(count - at, 255);
        if (recorder_->WriteSectors(blocks.data() + size_t(at) * kCdTextBlockBytes, uint8_t(n), leadIn + at,
                                    kCdTextBlockBytes) != kScsiOk)
            return kScsiFailed;
        at += n;
    }
    return kScsiOk;
}

int32_t LCDBurnAudioSCSI::DiscAtOnce()
{
    // The tracks follow one another sample for sample; a track's INDEX 01 is the
    // sector its first sample falls in.
    LCDAudioStream stream(disc_, frames_);
    std::vector<int32_t> starts;
    // A track shorter than a sector still gets a sector of its own to start in.
    for (size_t i = 0; i < disc_.size(); ++i)
        starts.push_back(std::max(int32_t(stream.TrackStart(i) / kCDFrames), i ? starts.back() + 1 : 0));
    const int32_t leadOut = std::max(SectorsOf(stream.Length()), starts.back() + 1);
    bool cdText = !data_.albumTitle.empty();
    for (const LCDBurnTrack& t : data_.tracks)
        cdText = cdText || !t.title.empty();

    dialog_.SetText("Writing Lead-in/Lead-out", 0);
    dialog_.SetText("Please wait...", 1);
    uint8_t page[52];
    WriteParametersPage(page, true, data_.settings.simulate, check_.capabilities.bufferUnderrunFree);
    if (recorder_->SetWriteParameters(page) != kScsiOk) {
        Fail("The CD drive refused the write parameters for writing the disc at once (" + DriveError() + ").");
        recorder_->LoadOrEject(false);
        return kJobFailed;
    }
    if (recorder_->SendCueSheet(CueSheet(starts, leadOut, cdText)) != kScsiOk) {
        Fail("The CD drive refused the layout of the disc (" + DriveError() + ").");
        recorder_->LoadOrEject(false);
        return kJobFailed;
    }
    data_.trackStarts = starts;
    if (cdText && WriteCdText() != kScsiOk) {
        Fail("Writing the CD-TEXT to the CD failed (" + DriveError() + ").");
        return Finish(false);
    }

    std::vector<uint8_t> buffer(size_t(kMaxChunkSectors) * kCDAudioSectorBytes, 0);
    // Track 1's pause of two seconds.
    for (int32_t at = -kCDLeadInPause; at < 0;) {
        const int32_t n = std::min(kMaxChunkSectors, -at);
        std::fill(buffer.begin(), buffer.end(), uint8_t(0));
        if (recorder_->WriteSectors(buffer.data(), uint8_t(n), at, kCDAudioSectorBytes) != kScsiOk) {
            Fail("Writing the pause before track 1 to the CD failed at sector " + std::to_string(at) + " (" +
                 DriveError() + ").");
            return Finish(false);
        }
        at += n;
    }
    written_.push_back({0, 0, 0, disc_.size()});
    size_t shown = disc_.size();
    for (int32_t address = 0;;) {
        const int32_t n = ChunkSectors(int64_t(leadOut) * kCDFrames - stream.Position());
        if (n == 0)
            break;
        const size_t track = stream.TrackAt(stream.Position());
        if (track != shown) {
            shown = track;
            dialog_.SetText("Burning Track " + std::to_string(track + 1), 0);
            dialog_.SetText(data_.tracks[track].title, 1);
        }
        stream.Read(buffer.data(), n * kCDFrames);
        if (recorder_->WriteSectors(buffer.data(), uint8_t(n), address, kCDAudioSectorBytes) != kScsiOk) {
            Fail("Writing track " + std::to_string(stream.TrackAt(int64_t(address) * kCDFrames) + 1) +
                 " to the CD failed at sector " + std::to_string(address) + " (" + DriveError() + ").");
            break;
        }
        address += n;
        written_.back().sectors += n;
        doneFrames_ = stream.Position();
        dialog_.SetProgress(totalFrames_ > 0 ? double(std::min(doneFrames_, totalFrames_)) / double(totalFrames_)
                                             : 1.0);
        // A disc at once cannot be closed before its end: a cancel leaves it unfinished.
        if (dialog_.IsCancelled())
            return kJobCancelled;
    }
    return Finish(false);
}
