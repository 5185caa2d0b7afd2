#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "cd/LCDAddress.h"
#include "cd/LCDDrives.h"
#include "cd/LCDROMRipSectors.h"
#include "cd/LSCSI.h"
#include "cd/LSgTransport.h"
#include "cd/LVirtualDrive.h"
#include "core/LFile.h"
#include "core/LProgressDialog.h"
#include "edit/LCutListAudio.h"

namespace {

std::string g_folder;

void RemoveDisc()
{
    ::unlink((g_folder + "/disc.bin").c_str());
    ::unlink((g_folder + "/disc.cue").c_str());
    ::rmdir((g_folder + "/no-drives").c_str());
    ::rmdir(g_folder.c_str());
}

// A 74-minute audio CD of one track: a sparse BIN and its sheet, removed at
// exit. The BIN is read once first, so that the page cache holds it and the
// drive's own work is what is measured (the first reading of a file is the
// file system's, whoever reads it).
std::string MakeDisc()
{
    static const std::string cue = [] {
        std::string folder = GetTempFolder() + "/kelvane-cdbench-XXXXXX";
        if (!mkdtemp(folder.data()))
            std::abort();
        const std::string bin = folder + "/disc.bin";
        const int fd = ::open(bin.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
        if (fd < 0 || ::ftruncate(fd, off_t(kCD74Sectors) * kCDAudioSectorBytes) != 0)
            std::abort();
        ::close(fd);
        g_folder = folder;
        std::atexit(RemoveDisc);
        LFile warm;
        std::vector<uint8_t> block(1 << 20);
        if (warm.Open(bin, LFile::Mode::Read))
            while (warm.Read(block.data(), int32_t(block.size())) > 0) {
            }
        const std::string text = "FILE \"disc.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n";
        const std::string path = folder + "/disc.cue";
        if (!WriteFileAtomically(path, text.data(), text.size(), false))
            std::abort();
        return path;
    }();
    return cue;
}

// READ CD of 27 sectors a command through the transport, over the whole disc in
// turn. "realtime" is seconds of audio read per second: the speed factor.
void BM_VirtualDriveReadCd74Minutes(benchmark::State& state)
{
    std::string error;
    std::shared_ptr<LVirtualDrive> drive = LVirtualDrive::Open(MakeDisc(), error);
    if (!drive) {
        state.SkipWithError(error.c_str());
        return;
    }
    LSCSI scsi;
    scsi.Open(drive->Connect());
    std::vector<uint8_t> buffer(27 * kCDAudioSectorBytes);
    uint32_t lba = 0;
    for (auto _ : state) {
        const uint8_t count = uint8_t(std::min<uint32_t>(27, uint32_t(kCD74Sectors) - lba));
        if (scsi.ExecuteCommand(kScsiRead, 40000, uint32_t(count) * kCDAudioSectorBytes, buffer.data(),
                                LMmcCommands::ReadCd(lba, count)) != kScsiOk) {
            state.SkipWithError("READ CD failed");
            break;
        }
        lba = lba + count >= uint32_t(kCD74Sectors) ? 0 : lba + count;
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * 27 * kCDAudioSectorBytes);
    state.counters["realtime"] = benchmark::Counter(double(state.iterations()) * 27.0 / kCDFramesPerSecond,
                                                    benchmark::Counter::kIsRate);
}
BENCHMARK(BM_VirtualDriveReadCd74Minutes)->UseRealTime();

// A sink that keeps nothing: what the rip costs without the tank.
class NullSink : public LSoundSinkBase {
public:
    NullSink() : LSoundSinkBase(44100, 2) {}
    void Write(const int32_t* buffer, int32_t frames) override
    {
        benchmark::DoNotOptimize(buffer);
        position_ += uint32_t(frames);
    }
};

// The whole 74-minute disc ripped as the CD dialog does it, on the job's
// worker thread, fast (0) or secure (1), into a document's tank segment (the
// "Document" runs) or into nothing ("NullSink"). The differences against
// BM_VirtualDriveReadCd74Minutes give the share of the conversion (with the
// AccurateRip checksums) and of the tank writes. "realtime" is the speed factor.
void RipDisc(benchmark::State& state, bool intoDocument)
{
    const std::string cue = MakeDisc();
    const std::string none = g_folder + "/no-drives";
    ::mkdir(none.c_str(), 0755);
    LCDDrives::SetSystemForTest(none, nullptr);
    LCDDrives::ForgetVirtualDrives();
    ::setenv("KELVANE_CD_DRIVES", cue.c_str(), 1);
    for (auto _ : state) {
        LCutListAudio audio;
        LCDROMRipSectors::Data data;
        data.firstSector = 0;
        data.endSector = uint32_t(kCD74Sectors);
        data.sink = intoDocument ? audio.OpenSink(44100, 2) : LSoundSink(new NullSink);
        data.trackName = "Track 01";
        data.secure = state.range(0) != 0;
        data.firstTrack = data.lastTrack = true;
        if (RunJobOnWorker("Import CD Track(s)", [&](LProgressDialog& d) { return LCDROMRipSectors::Process(d, data); }) !=
            kJobDone) {
            state.SkipWithError(data.report.error.c_str());
            break;
        }
        data.sink.Reset();
        if (data.report.frames != int64_t(kCD74Sectors) * 588)
            state.SkipWithError("short rip");
    }
    state.counters["realtime"] = benchmark::Counter(double(state.iterations()) * kCD74Sectors / kCDFramesPerSecond,
                                                    benchmark::Counter::kIsRate);
}
void BM_Rip74MinutesIntoDocument(benchmark::State& state) { RipDisc(state, true); }
void BM_Rip74MinutesIntoNullSink(benchmark::State& state) { RipDisc(state, false); }
BENCHMARK(BM_Rip74MinutesIntoDocument)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_Rip74MinutesIntoNullSink)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

// A transport that completes every command at once: what LSCSI itself costs a command.
class InstantTransport : public LScsiTransport {
public:
    bool Start(LScsiCommand& c) override
    {
        c.done.Set();
        return true;
    }
    void Abandon() override {}
    std::string Name() const override { return "instant"; }
};

void BM_ScsiOverheadPerCommand(benchmark::State& state)
{
    LSCSI scsi;
    scsi.Open(std::make_shared<InstantTransport>());
    for (auto _ : state)
        benchmark::DoNotOptimize(scsi.ExecuteCommand(kScsiRead, 5000, 0, nullptr, LMmcCommands::TestUnitReady()));
}
BENCHMARK(BM_ScsiOverheadPerCommand);

// The virtual drive's TEST UNIT READY: LSCSI, the drive's lock and dispatch.
void BM_VirtualDriveOverheadPerCommand(benchmark::State& state)
{
    std::string error;
    std::shared_ptr<LVirtualDrive> drive = LVirtualDrive::Open(MakeDisc(), error);
    LSCSI scsi;
    scsi.Open(drive->Connect());
    for (auto _ : state)
        benchmark::DoNotOptimize(scsi.ExecuteCommand(kScsiRead, 5000, 0, nullptr, LMmcCommands::TestUnitReady()));
}
BENCHMARK(BM_VirtualDriveOverheadPerCommand);

// The SG_IO transport around an ioctl that returns at once: the hand-over to its
// worker thread and back, and the copy through its own buffer of a 27-sector read.
void BM_SgTransportOverheadPerRead(benchmark::State& state)
{
    LSgSystem system;
    system.open = [](const char*, int) { return 3; };
    system.ioctl = [](int, unsigned long, void*) { return 0; };
    system.close = [](int) { return 0; };
    auto transport = std::make_shared<LSgTransport>(system);
    std::string error;
    transport->Open("/dev/sr0", error);
    LSCSI scsi;
    scsi.Open(transport);
    std::vector<uint8_t> buffer(27 * kCDAudioSectorBytes);
    for (auto _ : state)
        benchmark::DoNotOptimize(scsi.ExecuteCommand(kScsiRead, 40000, uint32_t(buffer.size()), buffer.data(),
                                                     LMmcCommands::ReadCd(0, 27)));
}
BENCHMARK(BM_SgTransportOverheadPerRead)->UseRealTime();

} // namespace
