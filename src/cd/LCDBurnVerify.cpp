// Verification: the tracks are read back from the disc and compared, sample for
// sample, with the stream sent, made afresh from the tracks' sources.
#include <algorithm>
#include <cstring>

#include "cd/LCDAddress.h"
#include "cd/LCDBurnAudioSCSI.h"
#include "cd/LMmcCommands.h"
#include "core/LProgressDialog.h"
#include "core/LSoundTime.h"

int32_t LCDBurnAudioSCSI::Verify()
{
    std::vector<uint8_t> sent(size_t(kMaxChunkSectors) * kCDAudioSectorBytes);
    std::vector<uint8_t> read(sent.size());
    int64_t checked = 0, total = 0;
    for (const Extent& e : written_)
        total += e.sectors;
    for (const Extent& e : written_) {
        std::vector<LSoundSource> sources;
        std::vector<int32_t> frames;
        for (size_t i = e.firstTrack; i < e.firstTrack + e.trackCount; ++i) {
            // A new chain over the track's own source gives the samples sent.
            sources.push_back(DiscSource(data_.tracks[i].source));
            frames.push_back(frames_[i]);
        }
        LCDAudioStream stream(sources, frames);
        size_t shown = data_.tracks.size();
        for (int32_t at = 0; at < e.sectors;) {
            const size_t track = e.firstTrack + stream.TrackAt(stream.Position());
            if (track != shown) {
                shown = track;
                dialog_.SetText("Verifying Track " + std::to_string(track + 1), 0);
                dialog_.SetText(data_.tracks[track].title, 1);
            }
            const int32_t n = std::min(kMaxChunkSectors, e.sectors - at);
            const size_t bytes = size_t(n) * kCDAudioSectorBytes;
            stream.Read(sent.data(), n * kCDFrames);
            const int32_t lba = e.lba + at;
            if (scsi_.ExecuteCommand(kScsiRead, kReadMs, uint32_t(bytes), read.data(),
                                     LMmcCommands::ReadCd(uint32_t(lba), uint8_t(n))) != kScsiOk) {
                Fail("Verifying the CD failed: track " + std::to_string(track + 1) +
                     " could not be read back at sector " + std::to_string(lba) + " (" + DriveError() + ").");
                return kJobFailed;
            }
            if (std::memcmp(sent.data(), read.data(), bytes) != 0) {
                const size_t byte = size_t(std::mismatch(sent.begin(), sent.begin() + std::ptrdiff_t(bytes),
                                                         read.begin()).first -
                                           sent.begin());
                const int64_t frame = int64_t(at) * kCDFrames + int64_t(byte / 4);
                const size_t bad = stream.TrackAt(frame);
                LSoundTime when;
                when.SetSamples(int32_t(frame - stream.TrackStart(bad)), 44100);
                Fail("Verifying the CD failed: track " + std::to_string(e.firstTrack + bad + 1) +
                     " on the CD differs from what was written, from " + when.GetTextCs() + " (sector " +
                     std::to_string(e.lba + int32_t(frame / kCDFrames)) + ") on.");
                return kJobFailed;
            }
            at += n;
            checked += n;
            dialog_.SetProgress(double(checked) / double(std::max<int64_t>(total, 1)));
            if (dialog_.IsCancelled()) {
                data_.report = "The CD was written; its verification was cancelled.";
                return kJobDone;
            }
        }
    }
    const size_t tracks = data_.tracks.size();
    data_.report = "The CD was verified: " +
                   (tracks == 1 ? std::string("its track is") : "its " + std::to_string(tracks) + " tracks are") +
                   " the same as what was written, sample for sample.";
    return kJobDone;
}
