// kelvane-cd as a user runs it: usage and exit statuses, the drive list and a
// table of contents from virtual drives, the messages of a failure, and rips
// into files with their log.
#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <tuple>
#include <unistd.h>

#include "cli/CdRip.h"
#include "core/LFile.h"
#include "support/TestSupport.h"

namespace {

struct Result {
    int status = -1;
    std::string out, err;
};

Result CdTool(const std::string& args, const std::string& drives)
{
    const std::string out = test::TempPath("cd.out"), err = test::TempPath("cd.err");
    Result r;
    r.status = test::Run("KELVANE_CD_DRIVES=" + test::Quote(drives) + " " + std::string(KELVANE_BIN_DIR) +
                         "/kelvane-cd " + args + " >" + test::Quote(out) + " 2>" + test::Quote(err));
    r.out = test::ReadFileBytes(out);
    r.err = test::ReadFileBytes(err);
    return r;
}

// Real drives come first; a machine that has some numbers the virtual ones after them.
int RealDrives()
{
    int n = 0;
    for (const std::string& name : ListFolder("/sys/class/block"))
        n += name.rfind("sr", 0) == 0 && name.size() > 2 && name.find_first_not_of("0123456789", 2) == std::string::npos;
    return n;
}

TEST(CdTool, ListsDrivesAndATableOfContentsAndFailsWithReasons)
{
    const int real = RealDrives();
    auto d = [real](int i) { return std::to_string(real + i); };
    Result help = CdTool("--help", "");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("kelvane-cd toc [-d N]"), std::string::npos);
    EXPECT_EQ(CdTool("--version", "").out.rfind("kelvane-cd ", 0), 0u);
    Result wrong = CdTool("eject", "");
    EXPECT_EQ(wrong.status, 2);
    EXPECT_NE(wrong.err.find("unknown argument \"eject\""), std::string::npos) << wrong.err;

    const std::string bin = test::TempPath("album.bin");
    int fd = ::open(bin.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    ASSERT_EQ(::ftruncate(fd, 2352 * 1500), 0);
    ::close(fd);
    const std::string cue = test::TempPath("album.cue");
    test::WriteFileBytes(cue, "FILE \"album.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
                              "  TRACK 02 AUDIO\n    INDEX 00 00:10:00\n    INDEX 01 00:12:00\n");
    const std::string drives = cue + ",cdr74:" + test::TempPath("burn");

    Result list = CdTool("drives", drives);
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_NE(list.out.find(d(0) + "  " + cue), std::string::npos) << list.out;
    EXPECT_NE(list.out.find("KELVANE Virtual CD-RW  audio CD, 2 tracks, 0:20"), std::string::npos) << list.out;
    EXPECT_NE(list.out.find("blank CD-R, 74 min"), std::string::npos) << list.out;

    Result toc = CdTool("toc -d " + d(0), drives);
    EXPECT_EQ(toc.status, 0) << toc.err;
    EXPECT_NE(toc.out.find("CD-ROM " + d(1) + " (" + cue + "): 2 tracks, 0:20"), std::string::npos) << toc.out;
    EXPECT_NE(toc.out.find("    2  audio  900            600      0:08"), std::string::npos) << toc.out;
    EXPECT_NE(toc.out.find("lead-out      1500"), std::string::npos) << toc.out;
    EXPECT_NE(toc.out.find("CDDB disc id:        07001402"), std::string::npos) << toc.out;

    Result blank = CdTool("toc -d " + d(1), drives);
    EXPECT_EQ(blank.status, 2);
    EXPECT_NE(blank.err.find("Cannot read the table of contents of CD-ROM " + d(2)), std::string::npos) << blank.err;
    Result past = CdTool("toc -d " + d(2), drives);
    EXPECT_EQ(past.status, 2);
    EXPECT_NE(past.err.find("There is no CD drive " + d(2)), std::string::npos) << past.err;
}

TEST(CdTool, RipsTracksIntoNamedFilesWithALogAndFailsOnSectorsThatNeverReadRight)
{
    const std::string d0 = std::to_string(RealDrives());
    // Two tracks of 150 and 100 sectors, each a tone of its own.
    const std::string bin = test::TempPath("rip.bin"), cue = test::TempPath("rip.cue");
    ASSERT_EQ(test::Run("sox -q -n -r 44100 -c 2 -b 16 -t raw -e signed -L " + test::Quote(bin) +
                        " synth 2 sine 440 : synth 1.3334 sine 660"),
              0);
    test::WriteFileBytes(bin, test::ReadFileBytes(bin).substr(0, size_t(250) * 2352));
    test::WriteFileBytes(cue, "FILE \"rip.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
                              "  TRACK 02 AUDIO\n    INDEX 01 00:02:00\n");
    const std::string out = test::TempPath("ripped");
    Result rip = CdTool("rip -d " + d0 + " -t 2,1 -o " + test::Quote(out) + " -f FLAC --no-lookup", cue);
    EXPECT_EQ(rip.status, 0) << rip.err;
    const std::string bytes = test::ReadFileBytes(bin);
    for (auto [name, first, sectors] : {std::tuple{"02 - Track 02.flac", 150, 100}, std::tuple{"01 - Track 01.flac", 0, 150}}) {
        const std::string raw = test::TempPath("track.raw");
        ASSERT_EQ(test::Run("sox -D " + test::Quote(out + "/" + name) + " -t raw -e signed -b 16 -L " + test::Quote(raw)), 0)
            << name;
        EXPECT_TRUE(test::ReadFileBytes(raw) == bytes.substr(size_t(first) * 2352, size_t(sectors) * 2352)) << name;
    }
    const std::string log = test::ReadFileBytes(out + "/rip.log");
    EXPECT_NE(log.find("Mode:                 secure"), std::string::npos) << log;
    EXPECT_NE(log.find("Track 02  Track 02\n  File:               02 - Track 02.flac\n  AccurateRip v1:     "),
              std::string::npos) << log;
    const size_t clean = log.find("Unreadable sectors: none");
    EXPECT_NE(clean, std::string::npos) << log;
    EXPECT_NE(log.find("Unreadable sectors: none", clean + 1), std::string::npos) << "both tracks read right";

    // Sector 200 (0:00.50 into track 2) never reads the same twice.
    Result bad = CdTool("rip -d " + d0 + " -t 2 -o " + test::Quote(out) + " --no-lookup", cue + "?noisy=200");
    EXPECT_EQ(bad.status, 2) << bad.err;
    EXPECT_NE(bad.out.find("02 - Track 02.wav  AccurateRip v1 "), std::string::npos) << bad.out;
    EXPECT_NE(test::ReadFileBytes(out + "/rip.log").find("Result:             1 unreadable sector (0:00.50)"),
              std::string::npos);
    Result fast = CdTool("rip -d " + d0 + " -t 2 -o " + test::Quote(out) + " --no-lookup --fast", cue + "?noisy=200");
    EXPECT_EQ(fast.status, 0) << "fast mode cannot tell";

    Result toc = CdTool("toc -t 1", cue);
    EXPECT_EQ(toc.status, 2);
    EXPECT_NE(toc.err.find("toc takes no -t"), std::string::npos) << toc.err;
}

TEST(CdTool, TrackListsAndFileNames)
{
    std::vector<int32_t> tracks;
    std::string error;
    EXPECT_TRUE(ParseTrackList("3,1-2,2", tracks, error));
    EXPECT_EQ(tracks, (std::vector<int32_t>{3, 1, 2}));
    for (const char* bad : {"", "1,", "5-3", "0", "100", "1-x"})
        EXPECT_FALSE(ParseTrackList(bad, tracks, error)) << bad;

    EXPECT_EQ(TrackFileName(3, "AC/DC: \"Live\"?\t...", ".flac"), "03 - AC_DC_ _Live___.flac");
    EXPECT_EQ(TrackFileName(12, " . ", ".wav"), "12 - Track.wav");
    // Cut to 255 bytes, never inside a character.
    std::string longName;
    for (int i = 0; i < 200; ++i)
        longName += "\xc3\xa9";
    const std::string name = TrackFileName(1, longName, ".mp3");
    EXPECT_LE(name.size(), 255u);
    EXPECT_EQ(name.substr(name.size() - 6), "\xc3\xa9.mp3");
}

TEST(CdTool, BurnsFilesOfAnyFormatAsTracksAndBlanksACdRw)
{
    const int real = RealDrives();
    const std::string a = test::TempPath("first song.wav"), b = test::TempPath("second.flac");
    ASSERT_EQ(test::Run("sox -n -r 44100 -c 2 -b 16 " + test::Quote(a) + " synth 3 sine 440"), 0);
    ASSERT_EQ(test::Run("sox -n -r 22050 -c 1 " + test::Quote(b) + " synth 2 sine 1000"), 0);
    const std::string disc = test::TempPath("rw disc");
    const std::string drive = "cdrw:" + disc;
    const std::string d = " -d " + std::to_string(real);

    Result burn = CdTool("burn" + d + " --dao --verify --title Demo " + test::Quote(a) + " " + test::Quote(b), drive);
    EXPECT_EQ(burn.status, 0) << burn.err;
    EXPECT_NE(burn.out.find(": 2 tracks written, 0:00:05 in all"), std::string::npos) << burn.out;
    EXPECT_NE(burn.err.find("kelvane-cd: The CD was verified"), std::string::npos) << burn.err;
    const std::string cue = test::ReadFileBytes(disc + "/disc.cue");
    EXPECT_NE(cue.find("TITLE \"Demo\""), std::string::npos) << cue;
    EXPECT_NE(cue.find("TITLE \"first song\""), std::string::npos) << cue;
    // Two tracks back to back: 3 s, then 2 s, no pause.
    EXPECT_EQ(test::ReadFileBytes(disc + "/disc.bin").size(), 375u * 2352);

    Result again = CdTool("burn" + d + " " + test::Quote(a), drive);
    EXPECT_EQ(again.status, 2);
    EXPECT_NE(again.err.find("The CD-RW is not blank."), std::string::npos) << again.err;
    Result blank = CdTool("blank" + d, drive);
    EXPECT_EQ(blank.status, 0) << blank.err;
    EXPECT_FALSE(FileExists(disc + "/disc.bin"));

    const std::string pressed = test::TempPath("pressed.cue");
    test::WriteFileBytes(test::TempPath("pressed.bin"), std::string(2352 * 10, '\0'));
    test::WriteFileBytes(pressed, "FILE \"pressed.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n");
    Result none = CdTool("burn" + d + " " + test::Quote(a), pressed + "?nopage5");
    EXPECT_EQ(none.status, 2);
    EXPECT_NE(none.err.find("No recordable CD detected"), std::string::npos) << none.err;
    Result missing = CdTool("burn" + d + " " + test::Quote(test::TempPath("none.wav")), drive);
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("none.wav"), std::string::npos) << missing.err;
}

} // namespace
