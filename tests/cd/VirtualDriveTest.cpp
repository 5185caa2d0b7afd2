// The virtual drive over pressed discs: its table of contents against libcdio's
// cd-info reading the same CUE sheet, READ CD against the BIN's bytes, the
// answers of a drive without a disc or with faults, and bad images.
#include <gtest/gtest.h>

#include <cstdio>

#include "CdTestSupport.h"
#include "cd/LCDImage.h"
#include "cd/LCDToc.h"
#include "cd/LVirtualDrive.h"
#include "core/ByteOrder.h"
#include "core/LFile.h"
#include "support/TestSupport.h"

namespace {

struct CueTrack {
    int32_t index0 = -1;  // file sector of INDEX 00, or none
    int32_t index1 = 0;   // file sector of INDEX 01
    int32_t pregap = 0;   // PREGAP sectors
};

std::string Msf(int32_t frames)
{
    char t[16];
    std::snprintf(t, sizeof t, "%02d:%02d:%02d", frames / 4500, frames / 75 % 60, frames % 75);
    return t;
}

// Writes NAME.cue and NAME.bin (sparse, `sectors` long, the track starts marked).
std::string MakeDisc(const std::string& name, const std::vector<CueTrack>& tracks, int32_t sectors)
{
    const std::string cue = test::TempPath(name + ".cue");
    std::string text = "REM made by a test\nFILE \"" + name + ".bin\" BINARY\n";
    std::vector<int32_t> marked;
    for (size_t i = 0; i < tracks.size(); ++i) {
        char line[32];
        std::snprintf(line, sizeof line, "  TRACK %02d AUDIO\n", int(i + 1));
        text += line;
        if (tracks[i].pregap)
            text += "    PREGAP " + Msf(tracks[i].pregap) + "\n";
        if (tracks[i].index0 >= 0)
            text += "    INDEX 00 " + Msf(tracks[i].index0) + "\n";
        text += "    INDEX 01 " + Msf(tracks[i].index1) + "\n";
        marked.push_back(tracks[i].index1);
        marked.push_back(tracks[i].index1 - 1);
    }
    test::WriteFileBytes(cue, text);
    cdtest::MakeBin(test::TempPath(name + ".bin"), sectors, marked);
    return cue;
}

// Every track's first sectors, the sectors around each start, and the last
// sector read back as the BIN holds them.
void ExpectReadsTheBin(LSCSI& scsi, const std::string& bin, const LCDToc& toc)
{
    for (int32_t i = 0; i <= toc.count; ++i) {
        const int32_t at = std::max(toc.starts[size_t(i)] - 13, 0);
        const int32_t count = std::min(27, toc.starts.back() - at);
        std::vector<uint8_t> data(size_t(count) * 2352);
        ASSERT_EQ(cdtest::Run(scsi, LMmcCommands::ReadCd(uint32_t(at), uint8_t(count)), data), kScsiOk) << at;
        ASSERT_EQ(std::string(data.begin(), data.end()), cdtest::FileSectors(bin, at, count)) << "at " << at;
    }
}

TEST(VirtualDrive, TableOfContentsIsWhatCdInfoReadsAndReadCdGivesTheBin)
{
    struct Case {
        std::string name;
        std::vector<CueTrack> tracks;
        int32_t sectors;
    };
    std::vector<Case> cases;
    cases.push_back({"one track", {{-1, 0}}, 4000});
    // Five tracks with pauses in the file (INDEX 00) and a track of 13 sectors.
    cases.push_back({"five", {{-1, 0}, {900, 1050}, {2000, 2150}, {-1, 2200}, {-1, 2213}}, 5000});  // track 4: 13 sectors
    std::vector<CueTrack> many;
    for (int32_t i = 0; i < 99; ++i)
        many.push_back({i ? i * 300 - 75 : -1, i * 300});
    cases.push_back({"ninety-nine", many, 99 * 300 + 10});
    cases.push_back({"seventy-nine minutes", {{-1, 0}, {-1, 150000}, {299850, 300000}}, 79 * 60 * 75});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string cue = MakeDisc(c.name, c.tracks, c.sectors);
        LSCSI scsi;
        std::string error;
        ASSERT_TRUE(cdtest::OpenVirtual(scsi, cue, &error)) << error;
        const auto peer = cdtest::CdInfoToc(cue);
        ASSERT_EQ(peer.size(), c.tracks.size() + 1);
        EXPECT_EQ(cdtest::DriveToc(scsi), peer);
        LCDToc toc;
        ASSERT_EQ(LCDToc::Read(scsi, toc), kScsiOk);
        ExpectReadsTheBin(scsi, test::TempPath(c.name + ".bin"), toc);
    }
}

TEST(VirtualDrive, PregapIsSilenceTheDriveAddsBeforeTheTrack)
{
    // CDRWIN's PREGAP is not in the file: a burner writes it as silence, so the
    // tracks after it start that much later. libcdio places them as if it were
    // in the file; everything else agrees.
    const std::string cue = MakeDisc("pregap", {{-1, 0}, {-1, 1000, 150}, {-1, 2000, 75}}, 3000);
    LSCSI scsi;
    ASSERT_TRUE(cdtest::OpenVirtual(scsi, cue));
    auto peer = cdtest::CdInfoToc(cue);
    ASSERT_EQ(peer.size(), 4u);
    peer[1].second += 150;
    peer[2].second += 225;
    peer[3].second += 225;
    EXPECT_EQ(cdtest::DriveToc(scsi), peer);
    std::vector<uint8_t> data(27 * 2352, 0xEE);
    ASSERT_EQ(cdtest::Run(scsi, LMmcCommands::ReadCd(990, 27), data), kScsiOk);
    const std::string bin = test::TempPath("pregap.bin");
    EXPECT_EQ(std::string(data.begin(), data.begin() + 10 * 2352), cdtest::FileSectors(bin, 990, 10));
    EXPECT_EQ(std::string(data.begin() + 10 * 2352, data.end()), std::string(17 * 2352, '\0'));
    data.resize(2352);
    ASSERT_EQ(cdtest::Run(scsi, LMmcCommands::ReadCd(1150, 1), data), kScsiOk);
    EXPECT_EQ(std::string(data.begin(), data.end()), cdtest::FileSectors(bin, 1000, 1)) << "track 2 starts";
}

LScsiSense SenseOf(LSCSI& scsi, const LCdb& cdb, size_t length = 0)
{
    std::vector<uint8_t> data(length);
    if (cdtest::Run(scsi, cdb, data) == kScsiOk)
        return {0xFF, 0xFF, 0xFF};
    return scsi.Sense();
}

bool SameSense(const LScsiSense& a, const LScsiSense& b) { return a.key == b.key && a.asc == b.asc && a.ascq == b.ascq; }

TEST(VirtualDrive, AnswersLikeADriveWithoutADiscWithFaultsAndWithBadRequests)
{
    const std::string cue = MakeDisc("faults", {{-1, 0}, {-1, 500}}, 1000);
    LSCSI scsi;
    std::string error;
    std::shared_ptr<LVirtualDrive> drive = LVirtualDrive::Open(cue + "?bad=600-602&tray=open", error);
    ASSERT_TRUE(drive);
    scsi.Open(drive->Connect());
    std::vector<uint8_t> none;

    EXPECT_TRUE(SameSense(SenseOf(scsi, LMmcCommands::TestUnitReady()), {0x02, 0x3A, 0x02})) << "tray open";
    ASSERT_EQ(scsi.LoadOrEject(true), kScsiOk);
    EXPECT_TRUE(SameSense(SenseOf(scsi, LMmcCommands::TestUnitReady()), {0x02, 0x04, 0x01})) << "spinning up";
    EXPECT_EQ(cdtest::Run(scsi, LMmcCommands::TestUnitReady(), none), kScsiOk);

    EXPECT_TRUE(SameSense(SenseOf(scsi, LMmcCommands::ReadCd(590, 27), 27 * 2352), {0x03, 0x11, 0x00}));
    EXPECT_TRUE(SameSense(SenseOf(scsi, LMmcCommands::ReadCd(990, 27), 27 * 2352), {0x05, 0x21, 0x00})) << "past the end";
    EXPECT_TRUE(SameSense(SenseOf(scsi, LMmcCommands::Read10(0, 1), 2048), {0x05, 0x64, 0x00})) << "audio by READ(10)";
    const LCdb unknown{{0xFF}, 6};
    EXPECT_TRUE(SameSense(SenseOf(scsi, unknown), {0x05, 0x20, 0x00}));
    EXPECT_TRUE(SameSense(SenseOf(scsi, LMmcCommands::ReadAtip(28), 28), {0x05, 0x24, 0x00})) << "a pressed CD has no ATIP";

    drive->SetBusy(2);
    cdtest::InstantClock clock;
    scsi.SetClock(&clock);
    EXPECT_EQ(cdtest::Run(scsi, LMmcCommands::TestUnitReady(), none), kScsiOk);
    EXPECT_EQ(clock.slept.size(), 2u);
    drive->SetNoDisc(true);
    EXPECT_TRUE(SameSense(SenseOf(scsi, LMmcCommands::ReadToc(), 2048), {0x02, 0x3A, 0x00}));
    ASSERT_EQ(scsi.LoadOrEject(false), kScsiOk);
    EXPECT_TRUE(drive->Faults().trayOpen);
}

TEST(VirtualDrive, DescribesItselfAndItsDiscInMsfAndInItsModePages)
{
    const std::string cue = MakeDisc("pages", {{-1, 0}, {-1, 4500}}, 9000);
    LSCSI scsi;
    ASSERT_TRUE(cdtest::OpenVirtual(scsi, cue));
    std::vector<uint8_t> d(36);
    ASSERT_EQ(cdtest::Run(scsi, LMmcCommands::Inquiry(36), d), kScsiOk);
    EXPECT_EQ(d[0], 0x05);
    EXPECT_EQ(std::string(d.begin() + 8, d.begin() + 32), "KELVANE Virtual CD-RW   ");

    const LCdb msf{{0x43, 0x02, 0, 0, 0, 0, 0x01, 0x08, 0, 0}, 10};
    d.assign(2048, 0);
    ASSERT_EQ(cdtest::Run(scsi, msf, d), kScsiOk);
    EXPECT_EQ(GetBE16(d.data()), 2 + 3 * 8);
    EXPECT_EQ(std::vector<uint8_t>(d.begin() + 12, d.begin() + 20), (std::vector<uint8_t>{0, 0x10, 2, 0, 0, 1, 2, 0}));
    EXPECT_EQ(std::vector<uint8_t>(d.begin() + 20, d.begin() + 28), (std::vector<uint8_t>{0, 0x10, 0xAA, 0, 0, 2, 2, 0}));

    d.assign(30, 0);
    ASSERT_EQ(cdtest::Run(scsi, LMmcCommands::ModeSense(0x2A, 30), d), kScsiOk);
    EXPECT_EQ(d[8], 0x2A);
    EXPECT_EQ(d[11] & 0x03, 0x03) << "writes CD-R and CD-RW";
    EXPECT_EQ(GetBE16(d.data() + 8 + 18), LVirtualDrive::kMaxWriteSpeed);
    d.assign(34, 0);
    ASSERT_EQ(cdtest::Run(scsi, LMmcCommands::ReadDiscInformation(34), d), kScsiOk);
    EXPECT_EQ(d[2] & 0x13, 0x02) << "a complete disc that cannot be erased";
}

TEST(VirtualDrive, BadImagesAreRefusedWithAMessageNamingTheFile)
{
    cdtest::MakeBin(test::TempPath("short.bin"), 100);
    struct Case {
        std::string file, text, expect;
    };
    const std::vector<Case> cases = {
        {"missing.cue", "FILE \"nowhere.bin\" BINARY\n TRACK 01 AUDIO\n INDEX 01 00:00:00\n",
         "names the file \"nowhere.bin\" (line 1), which cannot be opened: No such file or directory"},
        {"short.cue", "FILE \"short.bin\" BINARY\n TRACK 01 AUDIO\n INDEX 01 00:00:00\n TRACK 02 AUDIO\n INDEX 01 00:02:00\n",
         "track 2 starts at 00:02:00 in \"short.bin\", past the end of that file (00:01:25)"},
        {"garbage.cue", std::string("\x7f""ELF\x02\x01\x01\0\0\0", 10), "line 1: this is not text"},
        {"unknown.cue", "FILE \"short.bin\" BINARY\nHELLO THERE\n", "line 2: unknown command \"HELLO\""},
        {"wave.cue", "FILE \"short.bin\" WAVE\n", "line 1: the file type WAVE is not supported"},
        {"order.cue", "FILE \"short.bin\" BINARY\n TRACK 02 AUDIO\n INDEX 01 00:00:00\n TRACK 04 AUDIO\n",
         "line 4: track 4 does not follow track 2"},
        {"empty.iso", "", "The ISO image \"" + test::TempPath("empty.iso") + "\" is empty."},
    };
    for (const Case& c : cases) {
        const std::string path = test::TempPath(c.file);
        test::WriteFileBytes(path, c.text);
        std::string error;
        EXPECT_EQ(LVirtualDrive::Open(path, error), nullptr) << c.file;
        EXPECT_NE(error.find(c.expect), std::string::npos) << error;
        EXPECT_NE(error.find(path), std::string::npos) << error;
    }
    // A folder where a sheet should be cannot be read; a path with spaces is fine.
    ASSERT_TRUE(CreateFolders(test::TempPath("folder.cue")));
    std::string error;
    EXPECT_EQ(LVirtualDrive::Open(test::TempPath("folder.cue"), error), nullptr);
    EXPECT_NE(error.find("Cannot read the CUE sheet"), std::string::npos) << error;
    EXPECT_EQ(LVirtualDrive::Open("/music/album.flac", error), nullptr);
    EXPECT_NE(error.find("is no virtual drive"), std::string::npos) << error;
    EXPECT_EQ(LVirtualDrive::Open(test::TempPath("a.cue") + "?busy=x", error), nullptr);
    EXPECT_NE(error.find("unknown fault \"busy=x\""), std::string::npos) << error;

    ASSERT_TRUE(CreateFolders(test::TempPath("my music")));
    cdtest::MakeBin(test::TempPath("my music/the album.bin"), 300);
    test::WriteFileBytes(test::TempPath("my music/the album.cue"),
                         "FILE \"the album.bin\" BINARY\r\n  TRACK 01 AUDIO\r\n    INDEX 01 00:00:00\r\n");
    EXPECT_NE(LVirtualDrive::Open(test::TempPath("my music/the album.cue"), error), nullptr) << error;
}

} // namespace
