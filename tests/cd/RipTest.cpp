// Ripping from the virtual drive into a sink: every track equals the BIN's
// bytes and what cd-paranoia reads from the same CUE sheet, in fast and secure
// mode; the reads a track takes; a time-out, a cancel and a medium error keep
// what was read; secure mode against sectors that misread; the read offset;
// AccurateRip checksums against accuraterip-checksum.
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <tuple>

#include "CdTestSupport.h"
#include "cd/LCDDrives.h"
#include "cd/LCDROMRipSectors.h"
#include "cd/LCDToc.h"
#include "cd/LScsiTransport.h"
#include "cd/LVirtualDrive.h"
#include "core/LProgressDialog.h"
#include "support/TestSupport.h"

namespace {

using Data = LCDROMRipSectors::Data;

// The tracks of the test disc, in sectors: one of 13 (one read), one of 40
// (13 + 27), and longer ones.
const std::vector<int32_t> kTracks = {13, 40, 700, 310};

struct Disc {
    std::string cue, bin;
    std::vector<int32_t> starts;  // and the lead-out
    std::shared_ptr<LVirtualDrive> drive;
};

Disc MakeDisc(const std::string& name, const std::string& faults = {})
{
    Disc d;
    d.cue = cdtest::MakeAudioDisc(name, kTracks);
    d.bin = test::TempPath(name + ".bin");
    int32_t at = 0;
    for (int32_t n : kTracks) {
        d.starts.push_back(at);
        at += n;
    }
    d.starts.push_back(at);
    const std::string entry = d.cue + faults;
    cdtest::UseVirtualDrives(entry);
    std::string error;
    d.drive = LCDDrives::Virtual(entry, error);
    EXPECT_TRUE(d.drive) << error;
    return d;
}

// Native samples of the BIN's 16-bit little-endian frames [first, first + frames).
std::vector<int32_t> Expected(const std::string& bin, int64_t firstFrame, int64_t frames)
{
    const std::string bytes = test::ReadFileBytes(bin);
    std::vector<int32_t> v;
    for (int64_t f = firstFrame; f < firstFrame + frames; ++f)
        for (int c = 0; c < 2; ++c) {
            const int64_t at = f * 4 + c * 2;
            const bool inside = f >= 0 && at + 1 < int64_t(bytes.size());
            v.push_back(inside ? int32_t(int16_t(uint16_t(uint8_t(bytes[size_t(at)]) | uint8_t(bytes[size_t(at) + 1]) << 8))) * 16 : 0);
        }
    return v;
}

struct Ripped {
    int32_t result = -1;
    std::vector<int32_t> values;
    std::vector<int32_t> writes;
    LCDROMRipSectors::Report report;
};

Ripped Rip(const Disc& d, int32_t track, bool secure, int32_t offset = 0, LScsiClock* clock = nullptr)
{
    auto* sink = new test::VectorSink(44100, 2);
    Data data;
    data.drive = 0;
    data.firstSector = uint32_t(d.starts[size_t(track)]);
    data.endSector = uint32_t(d.starts[size_t(track) + 1]);
    data.sink = LSoundSink(sink);
    data.trackName = "Track";
    data.secure = secure;
    data.readOffset = offset;
    data.firstTrack = track == 0;
    data.lastTrack = track + 1 == int32_t(kTracks.size());
    data.clock = clock;
    Ripped r;
    r.result = RunJobOnWorker("Import CD Track(s)", [&](LProgressDialog& p) { return LCDROMRipSectors::Process(p, data); });
    r.values = sink->values;
    r.writes = sink->writes;
    r.report = data.report;
    return r;
}

int64_t Frames(int32_t sectors) { return int64_t(sectors) * 588; }

// Answers READ TOC with a header of the given data length and descriptors whose
// addresses are 150 apart.
class TocTransport : public LScsiTransport {
public:
    explicit TocTransport(uint16_t length) : length_(length) {}
    bool Start(LScsiCommand& c) override
    {
        std::memset(c.buffer, 0, c.length);
        c.buffer[0] = uint8_t(length_ >> 8);
        c.buffer[1] = uint8_t(length_);
        c.buffer[2] = 1;
        for (uint32_t at = 4, lba = 0; at + 8 <= c.length; at += 8, lba += 150) {
            c.buffer[at + 6] = uint8_t(lba >> 8);
            c.buffer[at + 7] = uint8_t(lba);
        }
        c.done.Set();
        return true;
    }
    void Abandon() override {}
    std::string Name() const override { return "toc"; }

private:
    uint16_t length_;
};

TEST(Rip, TheTrackCountOfATableOfContents)
{
    for (auto [length, result, count] : {std::tuple{uint16_t(2 + 8 * 3), kScsiOk, 2}, std::tuple{uint16_t(8), kScsiFailed, 0},
                                         std::tuple{uint16_t(0xFFFF), kScsiOk, 254}}) {
        LSCSI scsi;
        scsi.Open(std::make_shared<TocTransport>(length));
        LCDToc toc;
        EXPECT_EQ(LCDToc::Read(scsi, toc), result) << length;
        EXPECT_EQ(toc.count, count) << length;
        if (count > 0) {
            EXPECT_EQ(toc.starts.back(), count * 150);
        }
    }
}

TEST(Rip, EveryTrackEqualsTheBinAndWhatCdParanoiaReads)
{
    Disc d = MakeDisc("paranoia");
    for (int32_t t = 0; t < int32_t(kTracks.size()); ++t) {
        const std::vector<int32_t> expected = Expected(d.bin, Frames(d.starts[size_t(t)]), Frames(kTracks[size_t(t)]));
        for (bool secure : {false, true}) {
            Ripped r = Rip(d, t, secure);
            ASSERT_EQ(r.result, kJobDone) << r.report.error;
            EXPECT_EQ(r.values, expected) << "track " << t + 1 << (secure ? " secure" : " fast");
            EXPECT_LE(*std::max_element(r.writes.begin(), r.writes.end()), 8192);
            EXPECT_EQ(r.report.rereads, 0);
        }
        const std::string raw = test::TempPath("paranoia.raw");
        ASSERT_EQ(test::Run("cd-paranoia -q -d " + test::Quote(d.cue) + " -r " + std::to_string(t + 1) + " " +
                            test::Quote(raw)),
                  0);
        EXPECT_EQ(test::ReadFileBytes(raw),
                  cdtest::FileSectors(d.bin, d.starts[size_t(t)], kTracks[size_t(t)]))
            << "cd-paranoia, track " << t + 1;
    }
}

TEST(Rip, ReadsThirteenSectorsFirstThenTwentySeven)
{
    Disc d = MakeDisc("reads");
    for (auto [track, reads] : {std::pair{0, 1}, std::pair{1, 2}, std::pair{2, 27}}) {
        const int32_t before = d.drive->CommandCount();
        Ripped r = Rip(d, track, false);
        ASSERT_EQ(r.result, kJobDone);
        EXPECT_EQ(d.drive->CommandCount() - before, reads) << "track " << track + 1;
        EXPECT_EQ(r.report.readCommands, reads);
    }
}

TEST(Rip, TimeOutCancelAndMediumErrorKeepWhatWasRead)
{
    Disc d = MakeDisc("faults");
    const int32_t start = d.starts[2];
    // Reads of track 3: [0,13) [13,40) [40,67): a fault at sector 50 leaves 40 sectors.
    const std::vector<int32_t> kept = Expected(d.bin, Frames(start), Frames(40));

    d.drive->AddMediumError(start + 50, start + 50);
    Ripped bad = Rip(d, 2, false);
    EXPECT_EQ(bad.result, kJobFailed);
    EXPECT_EQ(bad.values, kept);
    EXPECT_NE(bad.report.error.find("03/11/00"), std::string::npos) << bad.report.error;

    cdtest::UseVirtualDrives(d.cue + "?hang=" + std::to_string(start + 50));
    std::string error;
    std::shared_ptr<LVirtualDrive> hanging = LCDDrives::Virtual(d.cue + "?hang=" + std::to_string(start + 50), error);
    cdtest::InstantClock clock;
    Ripped late = Rip(d, 2, false, 0, &clock);
    EXPECT_EQ(late.result, kJobFailed);
    EXPECT_EQ(late.values, kept);
    EXPECT_GE(clock.waited, LCDROMRipSectors::kReadTimeoutMs);
    EXPECT_NE(late.report.error.find("did not answer within 40000 ms"), std::string::npos) << late.report.error;

    // Cancel while the third read hangs.
    const int32_t before = hanging->CommandCount();
    cdtest::CancelWhen cancel([&] { return hanging->CommandCount() >= before + 3; });
    Ripped cancelled = Rip(d, 2, false);
    EXPECT_EQ(cancelled.result, kJobCancelled);
    EXPECT_EQ(cancelled.values, kept);
    EXPECT_EQ(cancel.titles, std::vector<std::string>{"Import CD Track(s)"});
    EXPECT_EQ(cancel.lines[0], "Loading Track");
    EXPECT_EQ(cancel.lines[1], "Ripping Digital Audio...");
}

TEST(Rip, SecureModeRecoversAMisreadAndReportsWhatNeverReadsRight)
{
    Disc d = MakeDisc("secure");
    const int32_t start = d.starts[2];
    const std::vector<int32_t> expected = Expected(d.bin, Frames(start), Frames(kTracks[2]));
    d.drive->AddFlakySectors(start + 100, start + 101);

    // Fast mode takes the misread as it comes.
    Ripped fast = Rip(d, 2, false);
    EXPECT_EQ(fast.result, kJobDone);
    EXPECT_NE(fast.values, expected);

    d.drive->AddFlakySectors(start + 300, start + 300);
    Ripped secure = Rip(d, 2, true);
    EXPECT_EQ(secure.result, kJobDone);
    EXPECT_EQ(secure.values, expected);
    EXPECT_TRUE(secure.report.unreadable.empty());
    EXPECT_GE(secure.report.rereads, 1);
    EXPECT_LE(secure.report.rereads, 2 * LCDROMRipSectors::kMaxRereads);

    d.drive->AddNoisySectors(start + 500, start + 500);
    d.drive->AddMediumError(start + 600, start + 600);
    Ripped noisy = Rip(d, 2, true);
    EXPECT_EQ(noisy.result, kJobDone);
    EXPECT_EQ(noisy.report.unreadable, (std::vector<int32_t>{start + 500, start + 600}));
    EXPECT_GE(noisy.report.rereads, 2 * LCDROMRipSectors::kMaxRereads);
    ASSERT_EQ(noisy.values.size(), expected.size());
    // Everything else is exact; the sector no read could give is silence.
    const size_t at500 = size_t(Frames(500)) * 2, at600 = size_t(Frames(600)) * 2, sector = 588 * 2;
    EXPECT_TRUE(std::equal(expected.begin(), expected.begin() + long(at500), noisy.values.begin()));
    EXPECT_TRUE(std::equal(expected.begin() + long(at500 + sector), expected.begin() + long(at600),
                           noisy.values.begin() + long(at500 + sector)));
    EXPECT_TRUE(std::all_of(noisy.values.begin() + long(at600), noisy.values.begin() + long(at600 + sector),
                            [](int32_t v) { return v == 0; }));
    EXPECT_TRUE(std::equal(expected.begin() + long(at600 + sector), expected.end(),
                           noisy.values.begin() + long(at600 + sector)));
}

TEST(Rip, TheReadOffsetShiftsTheTrackWithSilenceBeyondTheDisc)
{
    Disc d = MakeDisc("offset");
    for (int32_t offset : {667, -30, 1200}) {
        for (int32_t t : {0, 2, 3}) {
            Ripped r = Rip(d, t, t == 2, offset);
            ASSERT_EQ(r.result, kJobDone) << r.report.error;
            // Past the lead-out nothing is read: Expected gives zeros there as well.
            std::vector<int32_t> e = Expected(d.bin, Frames(d.starts[size_t(t)]) + offset, Frames(kTracks[size_t(t)]));
            EXPECT_EQ(r.values, e) << "offset " << offset << ", track " << t + 1;
        }
    }
}

TEST(Rip, AccurateRipChecksumsMatchAccurateRipChecksum)
{
    if (!test::HaveProgram("accuraterip-checksum"))
        GTEST_SKIP() << "accuraterip-checksum (whipper) is not installed";
    Disc d = MakeDisc("accuraterip");
    const int32_t tracks = int32_t(kTracks.size());
    for (int32_t t = 0; t < tracks; ++t) {
        Ripped r = Rip(d, t, false);
        ASSERT_EQ(r.result, kJobDone);
        const std::string raw = test::TempPath("ar.raw"), wav = test::TempPath("ar.wav");
        test::WriteFileBytes(raw, cdtest::FileSectors(d.bin, d.starts[size_t(t)], kTracks[size_t(t)]));
        ASSERT_EQ(test::Run("sox -t raw -r 44100 -c 2 -e signed -b 16 -L " + test::Quote(raw) + " " + test::Quote(wav)), 0);
        for (const char* version : {"--accuraterip-v1", "--accuraterip-v2"}) {
            const std::string out = test::TempPath("ar.txt");
            ASSERT_EQ(test::Run(std::string("accuraterip-checksum ") + version + " " + test::Quote(wav) + " " +
                                std::to_string(t + 1) + " " + std::to_string(tracks) + " > " + test::Quote(out)),
                      0);
            uint32_t theirs = 0;
            std::istringstream(test::ReadFileBytes(out)) >> std::hex >> theirs;
            const uint32_t ours = std::string(version).back() == '1' ? r.report.accurateRipV1 : r.report.accurateRipV2;
            EXPECT_EQ(ours, theirs) << version << ", track " << t + 1;
        }
    }
}

} // namespace
