// Audio CDs burned onto the virtual recorder: what lands on the disc is read
// back by libcdio's cd-info and cd-paranoia and compared with what was sent; the
// checks of drive and disc stop with their messages; what a real recorder may
// answer (busy, write errors) and a cancel leave the disc as a recorder would.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "CdTestSupport.h"
#include "cd/LCDAddress.h"
#include "cd/LCDBurnAudioSCSI.h"
#include "cd/LCDBurnToFolder.h"
#include "cd/LCDDrives.h"
#include "cd/LVirtualDrive.h"
#include "core/ByteOrder.h"
#include "core/LFile.h"
#include "core/LProgressDialog.h"
#include "core/SampleConvert.h"
#include "support/TestSupport.h"

namespace {

// The one drive of these tests, made afresh from `entry`; real drives are hidden.
class BurnTest : public ::testing::Test {
protected:
    void SetUp() override { LCDDrives::SetSystemForTest(test::TempPath("no sys"), nullptr); }
    void TearDown() override
    {
        unsetenv("KELVANE_CD_DRIVES");
        LCDDrives::SetSystemForTest({}, nullptr);
        LCDDrives::ForgetVirtualDrives();
    }
    std::shared_ptr<LVirtualDrive> Drive(const std::string& entry)
    {
        LCDDrives::ForgetVirtualDrives();
        setenv("KELVANE_CD_DRIVES", entry.c_str(), 1);
        std::string error;
        std::shared_ptr<LVirtualDrive> d = LCDDrives::Virtual(entry, error);
        EXPECT_TRUE(d) << error;
        return d;
    }
    cdtest::InstantClock clock;
};

// A progress window that presses Cancel at the `pump`-th look after line 0
// showed `trigger`.
class CancelAfter : public LProgressBackend {
public:
    CancelAfter(std::string trigger, int32_t pump) : trigger_(std::move(trigger)), pump_(pump)
    {
        LProgressSetBackend(this);
    }
    ~CancelAfter() override { LProgressSetBackend(nullptr); }
    std::unique_ptr<LProgressWindow> Open(const std::string&) override { return std::make_unique<Window>(*this); }

private:
    struct Window : LProgressWindow {
        explicit Window(CancelAfter& owner) : o(owner) {}
        void SetText(int line, const std::string& text) override
        {
            if (line == 0 && text == o.trigger_ && o.seen_ < 0)
                o.seen_ = 0;
        }
        void SetPercent(int32_t) override {}
        bool Pump() override { return o.seen_ >= 0 && ++o.seen_ >= o.pump_; }
        CancelAfter& o;
    };
    std::string trigger_;
    int32_t pump_;
    int32_t seen_ = -1;
};

LSoundSource Source(std::vector<int32_t> values, int32_t rate, uint8_t channels, uint32_t max = 0x7FFF0)
{
    return MakeSource<test::VectorSource>(std::move(values), rate, channels, max);
}

// The three tracks: 100 frames, 10 sectors, and 3 minutes of a louder-than-16-bit
// mono sine at 48000 Hz that must be resampled, doubled and limited.
std::vector<LCDBurnTrack> ThreeTracks()
{
    std::vector<LCDBurnTrack> t;
    t.push_back({"Intro", Source(test::Sine(100, 44100, 1000.0, 300000.0, 2), 44100, 2)});
    t.push_back({"Short", Source(test::Sine(10 * 588, 44100, 440.0, 0x7FFF0, 2), 44100, 2)});
    t.push_back({"Long \xC3\xA9t\xC3\xA9", Source(test::Sine(3 * 60 * 48000, 48000, 997.0, 0xFFFFF0, 1), 48000, 1,
                                                  0xFFFFF0)});
    return t;
}

// What the disc must hold for a track: its disc-format samples as 16-bit little-endian bytes.
std::string CdBytes(const LSoundSource& source)
{
    const std::vector<int32_t> v = test::ReadAll(LCDBurnAudioSCSI::DiscSource(source));
    std::string out(v.size() * 2, '\0');
    SamplesToPcm16LE(reinterpret_cast<uint8_t*>(out.data()), v.data(), int32_t(v.size()));
    return out;
}

int32_t Burn(LCDBurnAudioSCSI::Data& data)
{
    return RunJob("Writing Audio CD", [&](LProgressDialog& d) { return LCDBurnAudioSCSI::Process(d, data); });
}

LCDBurnAudioSCSI::Data Request(std::vector<LCDBurnTrack> tracks, LScsiClock* clock)
{
    LCDBurnAudioSCSI::Data data;
    data.tracks = std::move(tracks);
    data.clock = clock;
    return data;
}

// Track `number` as cd-paranoia reads it from the image (raw little-endian).
std::string Paranoia(const std::string& cue, int32_t number)
{
    const std::string out = test::TempPath("track.raw");
    if (test::Run("cd-paranoia -q -r -d " + test::Quote(cue) + " " + std::to_string(number) + " " + test::Quote(out) +
                  " >/dev/null 2>&1") != 0)
        return {};
    return test::ReadFileBytes(out);
}

bool AllZero(const std::string& bytes, size_t from)
{
    return bytes.find_first_not_of('\0', from) == std::string::npos;
}

TEST(BurnChunks, TracksEndSectorBySectorAndPadTheLastSector)
{
    EXPECT_EQ(LCDBurnAudioSCSI::ChunkSectors(100), 1);
    EXPECT_EQ(LCDBurnAudioSCSI::ChunkSectors(5880), 1);  // 10 sectors left
    EXPECT_EQ(LCDBurnAudioSCSI::ChunkSectors(15877), 2);
    EXPECT_EQ(LCDBurnAudioSCSI::ChunkSectors(27 * 15876), 27);
    EXPECT_EQ(LCDBurnAudioSCSI::ChunkSectors(0), 0);
    EXPECT_EQ(LCDDriveCheck::SpeedFor(48, 4234), 23);
    EXPECT_EQ(LCDDriveCheck::SpeedFor(LCDBurnSettings::kMaxSpeed, 0), 0);
    EXPECT_EQ(LCDDriveCheck::SpeedFor(8, 8467), 8);
    // Samples become 16 bits as (s + 8) >> 4.
    const int32_t in[4] = {0x7FFF0, -0x80000, 7, 8};
    uint8_t out[8];
    SamplesToPcm16LE(out, in, 4);
    EXPECT_EQ(int16_t(GetLE16(out)), 0x7FFF);
    EXPECT_EQ(int16_t(GetLE16(out + 2)), -0x8000);
    EXPECT_EQ(int16_t(GetLE16(out + 4)), 0);
    EXPECT_EQ(int16_t(GetLE16(out + 6)), 1);
}

TEST_F(BurnTest, ThreeTracksAtOnceWithPausesReadBackSampleForSample)
{
    const std::string folder = test::TempPath("burn tao");
    std::shared_ptr<LVirtualDrive> drive = Drive("cdr:" + folder);
    LCDBurnAudioSCSI::Data data = Request(ThreeTracks(), &clock);
    data.settings.verify = true;
    test::ScriptedProgress progress;
    ASSERT_EQ(Burn(data), kJobDone) << data.message;
    EXPECT_EQ(data.report, "The CD was verified: its 3 tracks are the same as what was written, sample for sample.");
    EXPECT_EQ(data.capacitySource, LCDCapacitySource::Atip);
    EXPECT_EQ(data.capacitySectors, kCD80Sectors);
    // 1 padded sector, 10 sectors, 13500 sectors, with 150 sectors of pause between them.
    EXPECT_EQ(data.trackStarts, (std::vector<int32_t>{0, 151, 311}));
    EXPECT_EQ(cdtest::CdInfoToc(folder + "/disc.cue"),
              (std::vector<std::pair<int32_t, int32_t>>{{1, 0}, {2, 151}, {3, 311}, {170, 13811}}));
    EXPECT_TRUE(drive->Faults().trayOpen) << "ejected after the burn";
    EXPECT_NE(test::ReadFileBytes(folder + "/disc.state").find("closed"), std::string::npos);
    for (const char* line : {"Checking drive and CD", "Burning Track 1", "Burning Track 3",
                                    "Writing Lead-in/Lead-out", "Verifying Track 2"})
        EXPECT_NE(std::find(progress.texts[0].begin(), progress.texts[0].end(), line), progress.texts[0].end()) << line;

    // cd-paranoia reads a track up to the next one's start: its audio, then the
    // padding and the pause as silence.
    const std::vector<LCDBurnTrack> sent = ThreeTracks();
    const size_t sector = 2352;
    for (int32_t t = 0; t < 3; ++t) {
        const std::string expected = CdBytes(sent[size_t(t)].source);
        const std::string read = Paranoia(folder + "/disc.cue", t + 1);
        const size_t sectors = t == 0 ? 151 : t == 1 ? 160 : 13500;
        ASSERT_EQ(read.size(), sectors * sector) << "track " << t + 1;
        EXPECT_TRUE(read.compare(0, expected.size(), expected) == 0) << "track " << t + 1;
        EXPECT_TRUE(AllZero(read, expected.size())) << "track " << t + 1;
    }
    EXPECT_EQ(CdBytes(sent[0].source).size(), 400u);
    EXPECT_EQ(CdBytes(sent[2].source).size(), 3u * 60 * 44100 * 4);
}

TEST_F(BurnTest, DiscAtOnceHasNoGapsAndCarriesTheTitlesAsCdText)
{
    const std::string folder = test::TempPath("burn dao");
    Drive("cdrw:" + folder);
    LCDBurnAudioSCSI::Data data = Request(ThreeTracks(), &clock);
    data.albumTitle = "Live at the Hall";
    data.settings.discAtOnce = true;
    data.settings.verify = true;
    test::ScriptedProgress progress;
    ASSERT_EQ(Burn(data), kJobDone) << data.message;
    EXPECT_NE(data.report.find("verified"), std::string::npos) << data.report;

    // The tracks follow one another sample for sample from LBA 0; a track of less
    // than a sector still starts in a sector of its own.
    const std::vector<LCDBurnTrack> sent = ThreeTracks();
    std::string stream;
    for (const LCDBurnTrack& t : sent)
        stream += CdBytes(t.source);
    const std::string bin = test::ReadFileBytes(folder + "/disc.bin");
    ASSERT_EQ(bin.size() % 2352, 0u);
    ASSERT_GE(bin.size(), stream.size());
    EXPECT_TRUE(bin.compare(0, stream.size(), stream) == 0);
    EXPECT_TRUE(AllZero(bin, stream.size()));
    const int32_t leadOut = int32_t(bin.size() / 2352);
    EXPECT_EQ(cdtest::CdInfoToc(folder + "/disc.cue"),
              (std::vector<std::pair<int32_t, int32_t>>{{1, 0}, {2, 1}, {3, 10}, {170, leadOut}}));
    EXPECT_EQ(Paranoia(folder + "/disc.cue", 3), bin.substr(10 * 2352));

    const std::string info = test::TempPath("cd-info.txt");
    ASSERT_EQ(test::Run("cd-info --no-cddb --no-device-info --cue-file " +
                        test::Quote(folder + "/disc.cue") + " > " + test::Quote(info) + " 2>&1"),
              0);
    const std::string listing = test::ReadFileBytes(info);
    // (libcdio takes a CUE sheet's text for ISO 8859-1: the accents of the third title do not survive it.)
    for (const char* title : {"TITLE: Live at the Hall", "TITLE: Intro", "TITLE: Short", "TITLE: Long "})
        EXPECT_NE(listing.find(title), std::string::npos) << title << "\n" << listing;
}

TEST_F(BurnTest, DriveAndDiscChecksStopWithTheirMessages)
{
    auto run = [&](const std::string& entry, LCDBurnSettings settings = {}) {
        Drive(entry);
        std::vector<LCDBurnTrack> one;
        one.push_back({"One", Source(test::Sine(5 * 44100, 44100, 440.0, 100000.0, 2), 44100, 2)});
        LCDBurnAudioSCSI::Data data = Request(std::move(one), &clock);
        data.settings = settings;
        data.settings.verify = Burn(data) == kJobDone;  // keeps the result where the test can see it
        return data;
    };
    using P = std::pair<int32_t, std::string>;
    auto burn = [&](const std::string& entry, LCDBurnSettings settings = {}) {
        const LCDBurnAudioSCSI::Data data = run(entry, settings);
        return P(data.settings.verify ? kJobDone : kJobFailed, data.message);
    };
    const std::string f = test::TempPath("checks");
    EXPECT_EQ(burn("cdr:" + f + "?nopage5"), P(kJobFailed, LCDDriveCheck::kCannotWrite));
    EXPECT_EQ(burn("cdr:" + f + "?writes=none"), P(kJobFailed, LCDDriveCheck::kCannotWrite));
    LCDBurnSettings elsewhere;
    elsewhere.drive = 5;
    EXPECT_EQ(burn("cdr:" + f, elsewhere), P(kJobFailed, LCDDriveCheck::kCannotAccess));
    EXPECT_EQ(burn("cdr:" + f + "?nodisc"), P(kJobFailed, LCDDriveCheck::kNoDisc));
    EXPECT_EQ(burn("cdrw:" + f + "?writes=cdr"), P(kJobFailed, LCDDriveCheck::kNoCDRW));

    // Too long for the disc: the message, unless Overburn lets the drive decide.
    const std::string tooLong = "The CD has a capacity of 0:00:02 minutes and you are trying to write 0:00:05 "
                                "minutes. Please insert a larger capacity CD or try fewer tracks.";
    LCDBurnAudioSCSI::Data small = run("cdr:" + f + "?capacity=150");
    EXPECT_EQ(small.message, tooLong);
    EXPECT_EQ(small.capacitySource, LCDCapacitySource::Atip);
    small = run("cdr:" + f + "?capacity=150&noatip");
    EXPECT_EQ(small.message, tooLong);
    EXPECT_EQ(small.capacitySource, LCDCapacitySource::DiscInformation);
    LCDBurnSettings overburn;
    overburn.overburn = true;
    EXPECT_EQ(burn("cdr:" + f + "?capacity=150", overburn).second.find("Writing track 1 to the CD failed at sector 150"),
              0u);

    // The speed asked for is brought down to what the drive can do (48x on 4234 kB/s: 23x).
    LCDBurnSettings fast;
    fast.speed = 48;
    const std::string written = test::TempPath("written cdr");
    ASSERT_EQ(burn("cdr:" + written + "?maxwrite=4234", fast), P(kJobDone, std::string()));
    std::string error;
    {
        std::shared_ptr<LVirtualDrive> d = LCDDrives::Virtual("cdr:" + written + "?maxwrite=4234", error);
        LSCSI scsi;
        scsi.Open(d->Connect());
        std::vector<uint8_t> page(30);
        ASSERT_EQ(cdtest::Run(scsi, LMmcCommands::ModeSense(0x2A, 30), page), kScsiOk);
        EXPECT_EQ(GetBE16(page.data() + 8 + 20), 23 * 177);
    }
    // A written CD-R is ejected.
    EXPECT_EQ(burn("cdr:" + written), P(kJobFailed, LCDDriveCheck::kWrittenCDR));
    EXPECT_TRUE(LCDDrives::Virtual("cdr:" + written, error)->Faults().trayOpen);

    // A written CD-RW: left alone without EraseCDRW, a failing blank, then erased and written.
    const std::string rw = test::TempPath("cdrw");
    ASSERT_EQ(burn("cdrw:" + rw).first, kJobDone);
    const std::string before = test::ReadFileBytes(rw + "/disc.bin");
    LCDBurnSettings keep;
    keep.eraseCDRW = false;
    EXPECT_EQ(burn("cdrw:" + rw, keep), P(kJobFailed, LCDDriveCheck::kNotBlankCDRW));
    EXPECT_EQ(test::ReadFileBytes(rw + "/disc.bin"), before);
    EXPECT_EQ(burn("cdrw:" + rw + "?blankerror"), P(kJobFailed, LCDDriveCheck::kEraseFailed));
    EXPECT_EQ(burn("cdrw:" + rw), P(kJobDone, std::string()));
}

TEST_F(BurnTest, BusyDrivesAreWaitedForAndWriteErrorsStillCloseAndEject)
{
    const std::string folder = test::TempPath("busy");
    std::shared_ptr<LVirtualDrive> drive = Drive("cdr:" + folder + "?syncbusy=3");
    LCDBurnAudioSCSI::Data data = Request(ThreeTracks(), &clock);
    data.tracks.pop_back();
    ASSERT_EQ(Burn(data), kJobDone) << data.message;
    EXPECT_EQ(std::count(clock.slept.begin(), clock.slept.end(), 100), 15) << "three 500 ms pauses";
    EXPECT_EQ(cdtest::CdInfoToc(folder + "/disc.cue").size(), 3u);

    // A write error in track 2 ends the tracks; the session is still closed and the disc ejected.
    const std::string bad = test::TempPath("write error");
    drive = Drive("cdr:" + bad + "?writeerror=155");
    data = Request(ThreeTracks(), &clock);
    ASSERT_EQ(Burn(data), kJobFailed);
    EXPECT_EQ(data.message.find("Writing track 2 to the CD failed at sector 155 (CHECK CONDITION 03/0C/00"), 0u)
        << data.message;
    EXPECT_EQ(cdtest::CdInfoToc(bad + "/disc.cue"),
              (std::vector<std::pair<int32_t, int32_t>>{{1, 0}, {2, 151}, {170, 155}}));
    EXPECT_NE(test::ReadFileBytes(bad + "/disc.state").find("closed"), std::string::npos);
    EXPECT_TRUE(drive->Faults().trayOpen);

    // A sector stored wrong is found by the verification.
    const std::string corrupt = test::TempPath("corrupt");
    Drive("cdr:" + corrupt + "?corrupt=320");
    data = Request(ThreeTracks(), &clock);
    data.settings.verify = true;
    ASSERT_EQ(Burn(data), kJobFailed);
    EXPECT_EQ(data.message, "Verifying the CD failed: track 3 on the CD differs from what was written, from "
                            "0:00:00.12 (sector 320) on.");

    // A test write goes through and leaves the disc blank.
    const std::string simulated = test::TempPath("simulated");
    Drive("cdr:" + simulated);
    data = Request(ThreeTracks(), &clock);
    data.settings.simulate = true;
    ASSERT_EQ(Burn(data), kJobDone) << data.message;
    EXPECT_EQ(data.report, "The test write went through without an error. Nothing was written to the CD.");
    EXPECT_FALSE(FileExists(simulated + "/disc.state"));
}

TEST_F(BurnTest, ACancelLeavesTheSessionOpenAndClosesTheTrackBegun)
{
    // Between tracks: track 1 (one write) is closed, track 2 never begins.
    const std::string between = test::TempPath("between");
    std::shared_ptr<LVirtualDrive> drive = Drive("cdr:" + between);
    LCDBurnAudioSCSI::Data data = Request(ThreeTracks(), &clock);
    {
        CancelAfter cancel("Burning Track 1", 2);
        EXPECT_EQ(Burn(data), kJobCancelled);
    }
    EXPECT_EQ(cdtest::CdInfoToc(between + "/disc.cue"), (std::vector<std::pair<int32_t, int32_t>>{{1, 0}, {170, 1}}));
    EXPECT_NE(test::ReadFileBytes(between + "/disc.state").find("open"), std::string::npos);
    EXPECT_FALSE(drive->Faults().trayOpen);

    // During track 3: what was written of it is closed as a track.
    const std::string during = test::TempPath("during");
    Drive("cdr:" + during);
    data = Request(ThreeTracks(), &clock);
    {
        CancelAfter cancel("Burning Track 3", 3);
        EXPECT_EQ(Burn(data), kJobCancelled);
    }
    EXPECT_EQ(cdtest::CdInfoToc(during + "/disc.cue"),
              (std::vector<std::pair<int32_t, int32_t>>{{1, 0}, {2, 151}, {3, 311}, {170, 311 + 3 * 27}}));
    EXPECT_NE(test::ReadFileBytes(during + "/disc.state").find("open"), std::string::npos);
}

TEST(BurnToFolder, TracksBecomeWavFilesWithACueSheetThatCdrdaoTakes)
{
    LCDBurnAudioSCSI::Data data;
    data.tracks = ThreeTracks();
    data.tracks.erase(data.tracks.begin());
    data.albumTitle = "Album";
    data.settings.internal = false;
    data.settings.trackFolder = test::TempPath("for the burner");
    test::ScriptedProgress progress;
    ASSERT_EQ(RunJob("Writing Audio CD", [&](LProgressDialog& d) { return LCDBurnToFolder::Process(d, data); }),
              kJobDone)
        << data.message;
    EXPECT_EQ(progress.texts[0].front(), "Copy Audio Files");
    const std::string folder = data.settings.trackFolder;
    const std::string wav = test::ReadFileBytes(folder + "/Track 02.wav");
    ASSERT_GT(wav.size(), 44u);
    const size_t at = wav.find("data");
    ASSERT_NE(at, std::string::npos);
    const std::string expected = CdBytes(data.tracks[1].source);
    EXPECT_EQ(wav.size() - at - 8, expected.size()) << at;
    EXPECT_TRUE(wav.compare(at + 8, std::string::npos, expected) == 0);
    // cdrdao reads the sheet and counts the pause and the tracks' lengths.
    const std::string toc = test::TempPath("cdrdao.txt");
    ASSERT_EQ(test::Run("cd " + test::Quote(folder) + " && cdrdao show-toc disc.cue > " + test::Quote(toc) + " 2>&1"),
              0)
        << test::ReadFileBytes(toc);
    const std::string listing = test::ReadFileBytes(toc);
    EXPECT_NE(listing.find("PREGAP 00:02:00(   150)"), std::string::npos) << listing;
    EXPECT_NE(listing.find("END    03:02:10( 13660)"), std::string::npos) << listing;
}

} // namespace
