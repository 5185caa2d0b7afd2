// kelvane-cd as a user runs it: usage and exit statuses, the drive list and a
// table of contents from virtual drives, and the messages of a failure.
#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

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
    Result wrong = CdTool("rip", "");
    EXPECT_EQ(wrong.status, 2);
    EXPECT_NE(wrong.err.find("unknown argument \"rip\""), std::string::npos) << wrong.err;

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

    Result blank = CdTool("toc -d " + d(1), drives);
    EXPECT_EQ(blank.status, 2);
    EXPECT_NE(blank.err.find("Cannot read the table of contents of CD-ROM " + d(2)), std::string::npos) << blank.err;
    Result past = CdTool("toc -d " + d(2), drives);
    EXPECT_EQ(past.status, 2);
    EXPECT_NE(past.err.find("There is no CD drive " + d(2)), std::string::npos) << past.err;
}

} // namespace
