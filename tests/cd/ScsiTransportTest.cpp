// The transport: command blocks, the sg_io_hdr_t handed to the kernel, the
// result rules (busy retry within the budget, all-zero sense), drive numbering,
// and waiting that can be cancelled or run out.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <scsi/sg.h>

#include "CdTestSupport.h"
#include "cd/LCDDrives.h"
#include "cd/LSgTransport.h"
#include "cd/LVirtualDrive.h"
#include "core/LFile.h"
#include "core/LProgressDialog.h"
#include "support/TestSupport.h"

namespace {

std::vector<uint8_t> Bytes(const LCdb& c) { return {c.bytes, c.bytes + c.length}; }

TEST(MmcCommands, BlocksAreTheOnesTheProcessesSend)
{
    using V = std::vector<uint8_t>;
    EXPECT_EQ(Bytes(LMmcCommands::ReadToc()), (V{0x43, 0, 0, 0, 0, 0, 0x01, 0x08, 0, 0}));
    EXPECT_EQ(Bytes(LMmcCommands::ReadCd(0x01020304, 27)), (V{0xBE, 0, 1, 2, 3, 4, 0, 0, 27, 0xF0, 0, 0}));
    EXPECT_EQ(Bytes(LMmcCommands::StartStop(true)), (V{0x1B, 0, 0, 0, 3, 0}));
    EXPECT_EQ(Bytes(LMmcCommands::StartStop(false)), (V{0x1B, 0, 0, 0, 2, 0}));
    EXPECT_EQ(Bytes(LMmcCommands::TestUnitReady()), (V{0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Bytes(LMmcCommands::ModeSense(0x2A, 30)), (V{0x5A, 0, 0x2A, 0, 0, 0, 0, 0, 30, 0}));
    EXPECT_EQ(Bytes(LMmcCommands::ModeSelect(60)), (V{0x55, 0x10, 0, 0, 0, 0, 0, 0, 60, 0}));
    EXPECT_EQ(Bytes(LMmcCommands::SetSpeed(23 * 177)), (V{0xBB, 0, 0xFF, 0xFF, 0x0F, 0xE7, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Bytes(LMmcCommands::ReadLastTrackInformation(2)), (V{0x52, 1, 0, 0, 0, 0xFF, 0, 0, 2, 0}));
    EXPECT_EQ(Bytes(LMmcCommands::Write10(1000, 27)), (V{0x2A, 0, 0, 0, 0x03, 0xE8, 0, 0, 27, 0}));
    EXPECT_EQ(Bytes(LMmcCommands::SynchronizeCache()), (V{0x35, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Bytes(LMmcCommands::CloseSession()), (V{0x5B, 1, 2, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Bytes(LMmcCommands::BlankMinimal()), (V{0xA1, 0x11, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Bytes(LMmcCommands::ReadDiscInformation(2)), (V{0x51, 0, 0, 0, 0, 0, 0, 0, 2, 0}));
}

// The system calls of the SG_IO transport, recorded.
struct FakeSystem {
    std::vector<std::pair<std::string, int>> opens;
    int refuseWritable = 0;   // errno for O_RDWR opens, 0 to allow
    int refuseAll = 0;        // errno for every open
    sg_io_hdr_t header{};
    std::vector<uint8_t> cdb, sent;
    uint8_t status = 0, hostStatus = 0;
    std::vector<uint8_t> reply;

    LSgSystem Make()
    {
        LSgSystem s;
        s.open = [this](const char* path, int flags) {
            opens.push_back({path, flags});
            if (refuseAll || (refuseWritable && (flags & O_ACCMODE) == O_RDWR)) {
                errno = refuseAll ? refuseAll : refuseWritable;
                return -1;
            }
            return 42;
        };
        s.ioctl = [this](int fd, unsigned long request, void* argument) {
            if (fd != 42 || request != SG_IO)
                return -1;
            auto* h = static_cast<sg_io_hdr_t*>(argument);
            header = *h;
            cdb.assign(h->cmdp, h->cmdp + h->cmd_len);
            if (h->dxfer_direction == SG_DXFER_TO_DEV)
                sent.assign(static_cast<uint8_t*>(h->dxferp), static_cast<uint8_t*>(h->dxferp) + h->dxfer_len);
            if (h->dxfer_direction == SG_DXFER_FROM_DEV)
                std::memcpy(h->dxferp, reply.data(), std::min<size_t>(reply.size(), h->dxfer_len));
            h->status = status;
            h->host_status = hostStatus;
            return 0;
        };
        s.close = [](int) { return 0; };
        return s;
    }
};

// The header the kernel must get, built field by field; compared whole, with
// the pointers (into the transport's own buffers) set from the one it got.
void ExpectHeader(const sg_io_hdr_t& got, int direction, uint8_t cdbLength, uint32_t length, uint32_t timeout)
{
    sg_io_hdr_t want;
    std::memset(&want, 0, sizeof want);
    want.interface_id = 'S';
    want.dxfer_direction = direction;
    want.cmd_len = cdbLength;
    want.mx_sb_len = LSgTransport::kSenseBytes;
    want.dxfer_len = length;
    want.timeout = timeout;
    want.dxferp = got.dxferp;
    want.cmdp = got.cmdp;
    want.sbp = got.sbp;
    want.status = got.status;
    EXPECT_EQ(std::memcmp(&want, &got, sizeof want), 0);
    EXPECT_GE(got.mx_sb_len, 14);
    EXPECT_NE(got.sbp, nullptr);
    EXPECT_EQ(got.dxferp != nullptr, length != 0);
}

TEST(SgTransport, BuildsTheHeaderOfAReadAndAWriteAndChecksEveryStatus)
{
    FakeSystem fake;
    auto transport = std::make_shared<LSgTransport>(fake.Make());
    std::string error;
    ASSERT_TRUE(transport->Open("/dev/sr0", error));
    ASSERT_EQ(fake.opens.size(), 1u);
    EXPECT_EQ(fake.opens[0].second, O_RDWR | O_NONBLOCK);
    LSCSI scsi;
    scsi.Open(transport);

    fake.reply.assign(2352 * 2, 0x5A);
    std::vector<uint8_t> data(2352 * 2);
    ASSERT_EQ(cdtest::Run(scsi, LMmcCommands::ReadCd(150, 2), data), kScsiOk);
    ExpectHeader(fake.header, SG_DXFER_FROM_DEV, 12, 2352 * 2, 200000);
    EXPECT_EQ(fake.cdb, Bytes(LMmcCommands::ReadCd(150, 2)));
    EXPECT_EQ(data, fake.reply);

    std::vector<uint8_t> sectors(2352);
    for (size_t i = 0; i < sectors.size(); ++i)
        sectors[i] = uint8_t(i * 3);
    ASSERT_EQ(cdtest::Run(scsi, LMmcCommands::Write10(7, 1), sectors, kScsiWrite), kScsiOk);
    ExpectHeader(fake.header, SG_DXFER_TO_DEV, 10, 2352, 200000);
    EXPECT_EQ(fake.sent, sectors);

    std::vector<uint8_t> none;
    ASSERT_EQ(cdtest::Run(scsi, LMmcCommands::StartStop(false), none), kScsiOk);
    ExpectHeader(fake.header, SG_DXFER_NONE, 6, 0, 200000);

    // A fault of the host adapter fails the command whatever the SCSI status says.
    fake.hostStatus = 0x03;  // DID_TIME_OUT
    EXPECT_EQ(cdtest::Run(scsi, LMmcCommands::TestUnitReady(), none), kScsiFailed);
    EXPECT_NE(scsi.LastError().find("host status 0x03"), std::string::npos) << scsi.LastError();
}

TEST(SgTransport, FallsBackToReadOnlyAndNamesTheGroupWhenRefused)
{
    FakeSystem fake;
    fake.refuseWritable = EACCES;
    LSgTransport readOnly(fake.Make());
    std::string error;
    ASSERT_TRUE(readOnly.Open("/dev/sr1", error));
    EXPECT_TRUE(readOnly.ReadOnly());
    ASSERT_EQ(fake.opens.size(), 2u);
    EXPECT_EQ(fake.opens[1].second, O_RDONLY | O_NONBLOCK);

    FakeSystem refused;
    refused.refuseAll = EACCES;
    LSgTransport none(refused.Make());
    EXPECT_FALSE(none.Open("/dev/sr1", error));
    EXPECT_NE(error.find("\"/dev/sr1\": Permission denied"), std::string::npos) << error;
    EXPECT_NE(error.find("group \"cdrom\""), std::string::npos) << error;
}

TEST(CDDrives, RealDrivesInSrOrderThenVirtualOnesAndNothingPastTheLast)
{
    const std::string sys = test::TempPath("sys");
    for (const char* name : {"sr10", "sr2", "sda", "sr0", "loop0", "srx"})
        ASSERT_TRUE(CreateFolders(sys + "/" + name));
    FakeSystem fake;
    const LSgSystem system = fake.Make();
    LCDDrives::SetSystemForTest(sys, &system);
    const std::string cue = test::TempPath("one.cue");
    cdtest::MakeBin(test::TempPath("one.bin"), 100);
    test::WriteFileBytes(cue, "FILE \"one.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n");
    setenv("KELVANE_CD_DRIVES", (cue + ", cdr:" + test::TempPath("burn")).c_str(), 1);

    EXPECT_EQ(LCDDrives::RealDevices(), (std::vector<std::string>{"/dev/sr0", "/dev/sr2", "/dev/sr10"}));
    EXPECT_EQ(LSCSI::GetCDROMDriveCount(), 5);
    LSCSI scsi;
    ASSERT_TRUE(scsi.OpenCDROMDrive(2));
    EXPECT_EQ(fake.opens.back().first, "/dev/sr10");
    ASSERT_TRUE(scsi.OpenCDROMDrive(3));
    EXPECT_EQ(scsi.DriveName(), cue);
    EXPECT_FALSE(scsi.OpenCDROMDrive(5));
    EXPECT_NE(scsi.OpenError().find("no CD drive 5"), std::string::npos) << scsi.OpenError();
    EXPECT_EQ(LCDDrives::Label(0), "CD-ROM 1");

    unsetenv("KELVANE_CD_DRIVES");
    LCDDrives::SetSystemForTest({}, nullptr);
    LCDDrives::ForgetVirtualDrives();
}

// A transport answering from a script, to judge outcomes the virtual drive never gives.
class ScriptedTransport : public LScsiTransport {
public:
    std::vector<std::pair<uint8_t, LScsiSense>> answers;  // status and sense, in turn
    bool Start(LScsiCommand& c) override
    {
        const auto a = answers.at(std::min(started++, answers.size() - 1));
        c.status = a.first;
        if (!a.second.IsZero() || a.first == kScsiCheckCondition) {
            LScsiFillSense(c.sense, a.second);
            c.senseLength = 18;
        }
        c.done.Set();
        return true;
    }
    void Abandon() override {}
    std::string Name() const override { return "scripted"; }
    size_t started = 0;
};

TEST(SCSI, ACheckConditionWithoutSenseIsSuccessBusyIsRetriedWithinTheBudget)
{
    auto t = std::make_shared<ScriptedTransport>();
    cdtest::InstantClock clock;
    LSCSI scsi;
    scsi.Open(t);
    scsi.SetClock(&clock);
    std::vector<uint8_t> none;

    t->answers = {{kScsiCheckCondition, {}}};
    EXPECT_EQ(cdtest::Run(scsi, LMmcCommands::TestUnitReady(), none), kScsiOk);
    t->answers = {{kScsiCheckCondition, {0x02, 0x3A, 0x00}}};
    EXPECT_EQ(cdtest::Run(scsi, LMmcCommands::TestUnitReady(), none), kScsiFailed);
    EXPECT_EQ(scsi.LastError(), "CHECK CONDITION 02/3A/00: no disc in the drive");
    t->answers = {{kScsiCheckCondition, {0x00, 0x00, 0x01}}};
    EXPECT_EQ(cdtest::Run(scsi, LMmcCommands::TestUnitReady(), none), kScsiFailed);

    // Busy three times, then done: three pauses of 500 ms.
    t->started = 0;
    t->answers = {{kScsiBusy, {}}, {kScsiBusy, {}}, {kScsiBusy, {}}, {kScsiGood, {}}};
    EXPECT_EQ(scsi.ExecuteCommand(kScsiRead, 20000, 0, nullptr, LMmcCommands::TestUnitReady()), kScsiOk);
    EXPECT_EQ(clock.slept, (std::vector<int32_t>{500, 500, 500}));

    // Always busy: a budget of 2000 ms is retried while it is not negative
    // (2000, 1500, 1000, 500, 0), then the command fails.
    t->started = 0;
    clock.slept.clear();
    t->answers = {{kScsiBusy, {}}};
    EXPECT_EQ(scsi.ExecuteCommand(kScsiRead, 2000, 0, nullptr, LMmcCommands::TestUnitReady()), kScsiFailed);
    EXPECT_EQ(clock.slept.size(), 5u);
    EXPECT_EQ(t->started, 6u);
    EXPECT_EQ(scsi.LastError(), "the drive is busy");
}

TEST(SCSI, AReadThatNeverCompletesTimesOutOrIsCancelledAndTheDriveGoesOn)
{
    const std::string iso = test::TempPath("data.iso");
    test::WriteFileBytes(iso, std::string(2048 * 20, 'd'));
    LSCSI scsi;
    cdtest::InstantClock clock;
    scsi.SetClock(&clock);
    ASSERT_TRUE(cdtest::OpenVirtual(scsi, iso + "?hang=5"));
    std::vector<uint8_t> data(2048 * 4, 0xEE);
    EXPECT_EQ(scsi.ExecuteCommand(kScsiRead, 40000, uint32_t(data.size()), data.data(), LMmcCommands::Read10(4, 4)),
              kScsiFailed);
    EXPECT_EQ(clock.waited, 40000);
    EXPECT_EQ(data[0], 0xEE) << "nothing arrives";
    {
        test::ScriptedProgress progress(3);
        const int32_t r = RunJob("Import CD Track(s)", [&](LProgressDialog& p) {
            return scsi.ExecuteCommand(kScsiRead, 40000, uint32_t(data.size()), data.data(),
                                       LMmcCommands::Read10(2, 4), &p);
        });
        EXPECT_EQ(r, kScsiCancelled);
    }
    EXPECT_EQ(scsi.ExecuteCommand(kScsiRead, 40000, uint32_t(data.size()), data.data(), LMmcCommands::Read10(6, 4)),
              kScsiOk);
    EXPECT_EQ(data[0], 'd');
}

} // namespace
