// The virtual drive as a recorder: what track at once and session at once leave
// in the disc's folder is read back by cd-info, bchunk and isoinfo; writes a
// real drive refuses are refused; a test write writes nothing.
#include <gtest/gtest.h>

#include <cstring>

#include "CdTestSupport.h"
#include "cd/LCDAddress.h"
#include "cd/LCDDrives.h"
#include "cd/LCDText.h"
#include "cd/LVirtualDrive.h"
#include "core/ByteOrder.h"
#include "core/LFile.h"
#include "support/TestSupport.h"

namespace {

// Write parameters: page 5 as the drive reports it, changed and selected.
void SetWriteParameters(LSCSI& scsi, uint8_t writeType, bool data, bool testWrite = false)
{
    std::vector<uint8_t> sense(60);
    ASSERT_EQ(cdtest::Run(scsi, LMmcCommands::ModeSense(0x05, 60), sense), kScsiOk);
    std::vector<uint8_t> select(60, 0);
    std::memcpy(select.data() + 8, sense.data() + 8, 52);
    select[2] = sense[2];
    select[8 + 2] = uint8_t((testWrite ? 0x10 : 0) | writeType);
    select[8 + 3] = uint8_t(0x40 | (data ? 0x04 : 0x00));
    select[8 + 4] = data ? 8 : 0;
    ASSERT_EQ(cdtest::Run(scsi, LMmcCommands::ModeSelect(60), select, kScsiWrite), kScsiOk);
}

int32_t NextWritable(LSCSI& scsi)
{
    std::vector<uint8_t> d(28);
    if (cdtest::Run(scsi, LMmcCommands::ReadLastTrackInformation(28), d) != kScsiOk || !(d[7] & 1))
        return -1;
    return int32_t(GetBE32(d.data() + 12));
}

// Sectors whose bytes say where they are.
std::vector<uint8_t> Sectors(int32_t first, int32_t count, int32_t bytes = 2352)
{
    std::vector<uint8_t> out(size_t(count) * size_t(bytes));
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = uint8_t((uint32_t(first) * 31u + uint32_t(i) * 5u + 3u) & 0xFF);
    return out;
}

int32_t Write(LSCSI& scsi, int32_t lba, int32_t count, int32_t bytes = 2352)
{
    std::vector<uint8_t> data = Sectors(lba, count, bytes);
    return cdtest::Run(scsi, LMmcCommands::Write10(uint32_t(lba), uint8_t(count)), data, kScsiWrite);
}

// Writes `sectors` from the next writable address in chunks of 27 and closes the track.
void WriteTrack(LSCSI& scsi, int32_t sectors, int32_t bytes = 2352)
{
    int32_t at = NextWritable(scsi);
    ASSERT_GE(at, 0);
    for (int32_t left = sectors; left > 0;) {
        const int32_t n = std::min(left, 27);
        ASSERT_EQ(Write(scsi, at, n, bytes), kScsiOk) << scsi.LastError();
        at += n;
        left -= n;
    }
    std::vector<uint8_t> none;
    ASSERT_EQ(cdtest::Run(scsi, LMmcCommands::SynchronizeCache(), none), kScsiOk);
}

uint8_t DiscStatus(LSCSI& scsi)
{
    std::vector<uint8_t> d(34);
    return cdtest::Run(scsi, LMmcCommands::ReadDiscInformation(34), d) == kScsiOk ? d[2] & 0x03 : 0xFF;
}

TEST(VirtualRecorder, TrackAtOnceAudioIsACueSheetThatCdInfoAndBchunkRead)
{
    const std::string folder = test::TempPath("burn");
    LSCSI scsi;
    std::string error;
    ASSERT_TRUE(cdtest::OpenVirtual(scsi, "cdr74:" + folder, &error)) << error;
    EXPECT_EQ(DiscStatus(scsi), 0);
    std::vector<uint8_t> atip(28);
    ASSERT_EQ(cdtest::Run(scsi, LMmcCommands::ReadAtip(28), atip), kScsiOk);
    EXPECT_EQ(LCDFramesOf(atip[12], atip[13], atip[14]) - 150, kCD74Sectors);

    SetWriteParameters(scsi, 1, false);
    EXPECT_EQ(NextWritable(scsi), 0);
    // A write must start at the next writable address.
    EXPECT_EQ(Write(scsi, 5, 1), kScsiFailed);
    EXPECT_EQ(scsi.Sense().Text(), "05/21/02");
    WriteTrack(scsi, 100);
    EXPECT_EQ(NextWritable(scsi), 250) << "a pause of two seconds before track 2";
    WriteTrack(scsi, 13);
    std::vector<uint8_t> none;
    ASSERT_EQ(cdtest::Run(scsi, LMmcCommands::CloseSession(), none), kScsiOk);
    EXPECT_EQ(DiscStatus(scsi), 2);
    EXPECT_EQ(NextWritable(scsi), -1);
    EXPECT_EQ(Write(scsi, 263, 1), kScsiFailed) << "a closed disc takes nothing more";

    // The disc as the drive reads it and as the files hold it.
    const std::vector<std::pair<int32_t, int32_t>> toc = {{1, 0}, {2, 250}, {170, 263}};
    EXPECT_EQ(cdtest::DriveToc(scsi), toc);
    std::vector<uint8_t> read(13 * 2352);
    ASSERT_EQ(cdtest::Run(scsi, LMmcCommands::ReadCd(250, 13), read), kScsiOk);
    EXPECT_EQ(read, Sectors(250, 13));
    // cd-info and bchunk come with scripts/setup.
    EXPECT_EQ(cdtest::CdInfoToc(folder + "/disc.cue"), toc);
    {
        ASSERT_EQ(test::Run("cd " + test::Quote(folder) + " && bchunk disc.bin disc.cue track >/dev/null"), 0);
        EXPECT_EQ(test::ReadFileBytes(folder + "/track02.cdr").size(), 13u * 2352);
    }

    // The state survives the program: a new drive on the folder has the closed disc.
    LSCSI again;
    ASSERT_TRUE(cdtest::OpenVirtual(again, "cdr74:" + folder));
    EXPECT_EQ(DiscStatus(again), 2);
    EXPECT_EQ(cdtest::DriveToc(again), toc);
}

TEST(VirtualRecorder, RefusesWritesPastTheCapacityOntoPressedDiscsAndWritesNothingInATest)
{
    const std::string folder = test::TempPath("test write");
    LSCSI scsi;
    ASSERT_TRUE(cdtest::OpenVirtual(scsi, "cdr:" + folder));
    SetWriteParameters(scsi, 1, false, true);
    WriteTrack(scsi, 54);
    std::vector<uint8_t> none;
    ASSERT_EQ(cdtest::Run(scsi, LMmcCommands::CloseSession(), none), kScsiOk);
    EXPECT_EQ(DiscStatus(scsi), 0) << "still blank";
    EXPECT_FALSE(FileExists(folder + "/disc.bin"));
    EXPECT_FALSE(FileExists(folder + "/disc.state"));

    // Session at once: a cue sheet past the capacity, then writes past its lead-out.
    SetWriteParameters(scsi, 2, false);
    std::vector<uint8_t> sheet = {0x01, 0x00, 0x00, 0x01, 0, 0, 0, 0,  0x01, 0x01, 0x00, 0x00, 0, 0, 0, 0,
                                  0x01, 0x01, 0x01, 0x00, 0, 0, 2, 0,  0x01, 0xAA, 0x01, 0x00, 0, 81, 0, 0};
    EXPECT_EQ(cdtest::Run(scsi, LMmcCommands::SendCueSheet(32), sheet, kScsiWrite), kScsiFailed);
    EXPECT_EQ(scsi.Sense().Text(), "05/21/00");
    sheet[29] = 0, sheet[30] = 2, sheet[31] = 10;  // lead-out at 00:02:10: 10 sectors
    ASSERT_EQ(cdtest::Run(scsi, LMmcCommands::SendCueSheet(32), sheet, kScsiWrite), kScsiOk);
    EXPECT_EQ(Write(scsi, -150, 27), kScsiOk);
    EXPECT_EQ(Write(scsi, -123, 27), kScsiOk);
    EXPECT_EQ(Write(scsi, -96, 27), kScsiOk);
    EXPECT_EQ(Write(scsi, -69, 27), kScsiOk);
    EXPECT_EQ(Write(scsi, -42, 27), kScsiOk);
    EXPECT_EQ(Write(scsi, -15, 27), kScsiFailed) << "past the lead-out";
    EXPECT_EQ(scsi.Sense().Text(), "05/21/00");
    EXPECT_EQ(cdtest::Run(scsi, LMmcCommands::SynchronizeCache(), none), kScsiFailed) << "the disc is not all written";

    const std::string cue = test::TempPath("pressed.cue");
    cdtest::MakeBin(test::TempPath("pressed.bin"), 100);
    test::WriteFileBytes(cue, "FILE \"pressed.bin\" BINARY\n TRACK 01 AUDIO\n INDEX 01 00:00:00\n");
    LSCSI pressed;
    ASSERT_TRUE(cdtest::OpenVirtual(pressed, cue));
    EXPECT_EQ(Write(pressed, 0, 1), kScsiFailed);
    std::vector<uint8_t> blank;
    EXPECT_EQ(cdtest::Run(pressed, LMmcCommands::BlankMinimal(), blank), kScsiFailed);
}

TEST(VirtualRecorder, SessionAtOnceKeepsTheCdTextAsTitlesAndACdRwBlanks)
{
    const std::string folder = test::TempPath("dao");
    LSCSI scsi;
    ASSERT_TRUE(cdtest::OpenVirtual(scsi, "cdrw:" + folder));
    SetWriteParameters(scsi, 2, false);
    // Lead-in with CD-TEXT, track 1 from 00:02:00 (LBA 0), track 2 with a pause
    // from LBA 40 and its start at LBA 60, the lead-out at LBA 80.
    std::vector<uint8_t> sheet = {0x01, 0x00, 0x00, 0x41, 0, 0, 0, 0,   0x01, 0x01, 0x00, 0x00, 0, 0, 0, 0,
                                  0x01, 0x01, 0x01, 0x00, 0, 0, 2, 0,   0x01, 0x02, 0x00, 0x00, 0, 0, 2, 40,
                                  0x01, 0x02, 0x01, 0x00, 0, 0, 2, 60,  0x01, 0xAA, 0x01, 0x00, 0, 0, 3, 5};
    ASSERT_EQ(cdtest::Run(scsi, LMmcCommands::SendCueSheet(uint32_t(sheet.size())), sheet, kScsiWrite), kScsiOk);
    LCDText text;
    text.titles = {"Live at the Hall", "Opening", "Encore"};
    text.performers = {"The Kelvanes", "The Kelvanes", "The Kelvanes"};
    std::vector<uint8_t> leadIn = LCDText::LeadInBlocks(text.Packs());
    const int32_t blocks = int32_t(leadIn.size() / 96);
    ASSERT_EQ(cdtest::Run(scsi, LMmcCommands::Write10(uint32_t(LVirtualDrive::kLeadInStart), uint8_t(blocks)), leadIn,
                          kScsiWrite),
              kScsiOk);
    for (int32_t at = -150; at < 80; at += 23)
        ASSERT_EQ(Write(scsi, at, std::min(23, 80 - at)), kScsiOk) << at;
    std::vector<uint8_t> none;
    ASSERT_EQ(cdtest::Run(scsi, LMmcCommands::SynchronizeCache(), none), kScsiOk);
    EXPECT_EQ(DiscStatus(scsi), 2);
    EXPECT_EQ(cdtest::DriveToc(scsi), (std::vector<std::pair<int32_t, int32_t>>{{1, 0}, {2, 60}, {170, 80}}));
    const std::string cue = test::ReadFileBytes(folder + "/disc.cue");
    EXPECT_NE(cue.find("TITLE \"Live at the Hall\""), std::string::npos) << cue;
    EXPECT_NE(cue.find("    TITLE \"Encore\"\n    PERFORMER \"The Kelvanes\"\n    INDEX 00 00:00:40\n"),
              std::string::npos) << cue;
    // The image starts at LBA 0: the pause before track 1 is not kept.
    std::string bin;
    for (int32_t at = -150; at < 80; at += 23) {
        const std::vector<uint8_t> chunk = Sectors(at, std::min(23, 80 - at));
        const size_t skip = size_t(std::max(0, -at)) * 2352;
        if (skip < chunk.size())
            bin.append(chunk.begin() + std::ptrdiff_t(skip), chunk.end());
    }
    EXPECT_TRUE(test::ReadFileBytes(folder + "/disc.bin") == bin);
    EXPECT_EQ(cdtest::CdInfoToc(folder + "/disc.cue"),
              (std::vector<std::pair<int32_t, int32_t>>{{1, 0}, {2, 60}, {170, 80}}));

    ASSERT_EQ(cdtest::Run(scsi, LMmcCommands::BlankMinimal(), none), kScsiOk);
    EXPECT_EQ(DiscStatus(scsi), 0);
    EXPECT_FALSE(FileExists(folder + "/disc.cue"));
}

TEST(VirtualRecorder, ADataTrackBecomesAnIsoImageThatIsoinfoReads)
{
    const std::string tree = test::TempPath("tree");
    ASSERT_TRUE(CreateFolders(tree + "/docs"));
    test::WriteFileBytes(tree + "/docs/readme.txt", std::string(5000, 'r'));
    const std::string made = test::TempPath("made.iso");
    ASSERT_EQ(test::Run("genisoimage -quiet -J -V KELVANE -o " + test::Quote(made) + " " + test::Quote(tree)), 0);
    const std::string iso = test::ReadFileBytes(made);
    ASSERT_EQ(iso.size() % 2048, 0u);

    const std::string folder = test::TempPath("data disc");
    LSCSI scsi;
    ASSERT_TRUE(cdtest::OpenVirtual(scsi, "cdr:" + folder));
    SetWriteParameters(scsi, 1, true);
    int32_t at = NextWritable(scsi);
    ASSERT_EQ(at, 0);
    for (size_t offset = 0; offset < iso.size(); offset += 27 * 2048) {
        std::vector<uint8_t> chunk(iso.begin() + std::ptrdiff_t(offset),
                                   iso.begin() + std::ptrdiff_t(std::min(iso.size(), offset + 27 * 2048)));
        const int32_t n = int32_t(chunk.size() / 2048);
        ASSERT_EQ(cdtest::Run(scsi, LMmcCommands::Write10(uint32_t(at), uint8_t(n)), chunk, kScsiWrite), kScsiOk);
        at += n;
    }
    std::vector<uint8_t> none;
    ASSERT_EQ(cdtest::Run(scsi, LMmcCommands::SynchronizeCache(), none), kScsiOk);
    ASSERT_EQ(cdtest::Run(scsi, LMmcCommands::CloseSession(), none), kScsiOk);
    EXPECT_EQ(test::ReadFileBytes(folder + "/disc.iso"), iso);
    EXPECT_EQ(test::Run("isoinfo -d -i " + test::Quote(folder + "/disc.iso") + " | grep -q 'Volume id: KELVANE'"), 0);
    std::vector<uint8_t> sector(2048);
    ASSERT_EQ(cdtest::Run(scsi, LMmcCommands::Read10(16, 1), sector), kScsiOk);
    EXPECT_EQ(std::string(sector.begin() + 1, sector.begin() + 6), "CD001");
    EXPECT_EQ(cdtest::DriveToc(scsi), (std::vector<std::pair<int32_t, int32_t>>{{1, 0}, {170, int32_t(iso.size() / 2048)}}));
}

} // namespace
