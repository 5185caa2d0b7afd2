// Data CDs: names in both trees, the layout's fields where readers are strict,
// images read back by isoinfo, xorriso, pycdlib and osirrox, files that change
// or vanish while they are written, and the image burned onto the virtual
// recorder and read back sector by sector.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "CdTestSupport.h"
#include "cd/LCDDrives.h"
#include "cd/LCDIsoLayout.h"
#include "cd/LCDIsoNames.h"
#include "cd/LCDWriteDataCD.h"
#include "cd/LMmcCommands.h"
#include "cd/LVirtualDrive.h"
#include "core/ByteOrder.h"
#include "core/LFile.h"
#include "core/LProgressDialog.h"
#include "support/TestSupport.h"

namespace {

constexpr int64_t kNow = 1700000000;

std::unique_ptr<LCDFile> Node(const std::string& name, bool directory = false)
{
    return std::make_unique<LCDFile>("/x/" + name, directory);
}

void Make(const std::string& path, const std::string& bytes)
{
    CreateFolders(GetFolderFromPath(path));
    test::WriteFileBytes(path, bytes);
}

// The tree of the checks: folders 8 deep and 16 wide, empty files, 5 MB of
// data, names with spaces, accents, Japanese, an emoji, 100 and 152 characters,
// two that collide as short names, and links.
std::string MakeTree(const std::string& top)
{
    const std::string t = FilePathCat(top, "tree");
    Make(t + "/a/b/c/d/e/f/g/h/deep.txt", "deep");
    for (int i = 1; i <= 16; ++i)
        Make(t + "/wide/sub" + std::to_string(i) + "/f.txt", std::to_string(i));
    Make(t + "/empty1", "");
    Make(t + "/empty2", "");
    std::string big(5000000, '\0');
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = char((i * 2654435761u) >> 13);
    Make(t + "/big.bin", big);
    Make(t + "/name with spaces.txt", "s");
    Make(t + "/café résumé.txt", "c");
    Make(t + "/日本語のファイル.txt", "j");
    Make(t + "/emoji \xF0\x9F\x98\x80.txt", "e");
    Make(t + "/" + std::string(100, 'L') + ".txt", "l");
    // Its record with Rock Ridge would be 255 bytes, odd: the name goes on in a continuation.
    Make(t + "/z" + std::string(151, '-'), "odd");
    Make(t + "/report.txt", "r");
    Make(t + "/REPORT.TXT!", "R");
    EXPECT_EQ(chmod((t + "/report.txt").c_str(), 0640), 0);
    EXPECT_EQ(symlink("big.bin", (t + "/link.bin").c_str()), 0);
    EXPECT_EQ(symlink("../a", (t + "/wide/up").c_str()), 0);
    return t;
}

int32_t WriteImage(LCDWriteDataCD::Data& data)
{
    data.now = kNow;
    return RunJob("Writing Data CD", [&](LProgressDialog& p) { return LCDWriteDataCD::Process(p, data); });
}

std::string Sector(const std::string& image, int32_t lba, size_t bytes = 2048)
{
    return image.substr(size_t(lba) * 2048, bytes);
}

const uint8_t* U(const std::string& s, size_t at) { return reinterpret_cast<const uint8_t*>(s.data()) + at; }

bool Checks(const std::string& image, const std::string& source, const std::string& label, bool rockRidge = true)
{
    return test::Run("/usr/bin/python3 " + test::Quote(std::string(KELVANE_SOURCE_DIR) + "/tests/cd/tools/iso_check.py") +
                     " " + test::Quote(image) + " " + test::Quote(source) + " " + test::Quote(label) +
                     (rockRidge ? "" : " --no-rock-ridge")) == 0;
}

// A progress window whose Cancel is pressed from the start.
class CancelAtOnce : public LProgressBackend {
public:
    CancelAtOnce() { LProgressSetBackend(this); }
    ~CancelAtOnce() override { LProgressSetBackend(nullptr); }
    std::unique_ptr<LProgressWindow> Open(const std::string&) override { return std::make_unique<Window>(); }

private:
    struct Window : LProgressWindow {
        void SetText(int, const std::string&) override {}
        void SetPercent(int32_t) override {}
        bool Pump() override { return true; }
    };
};

} // namespace

TEST(DataCD, ShortJolietAndUniqueNames)
{
    using namespace LCDIsoNames;
    EXPECT_EQ(ShortName("a b.x+y"), "AB.XY");
    EXPECT_EQ(ShortName("verylongname.jpeg"), "VERYLONG.JPE");
    EXPECT_EQ(ShortName("ßü"), "_");
    LCDFile dir("/x/d", true);
    LCDFile* first = dir.AddSubFile(Node("report.txt"));
    LCDFile* second = dir.AddSubFile(Node("REPORT.TXT!"));
    LCDFile* third = dir.AddSubFile(Node("Report.txt?"));
    ASSERT_TRUE(first && second && third);
    EXPECT_EQ(first->shortName, "REPORT.TXT");
    EXPECT_EQ(second->shortName, "REPORT2.TXT");
    EXPECT_EQ(third->shortName, "REPORT3.TXT");
    EXPECT_EQ(third->longName, u"Report.txt_");
    ASSERT_EQ(dir.children.size(), 3u);
    EXPECT_EQ(dir.children[0]->shortName, "REPORT.TXT");  // sorted by short name
    EXPECT_EQ(dir.children[2]->shortName, "REPORT3.TXT");

    // UTF-8 to UCS-2 by character: accents and Japanese kept, an emoji and
    // broken UTF-8 become "_", and so do the characters Joliet forbids.
    EXPECT_EQ(JolietName("café 日本"), u"café 日本");
    EXPECT_EQ(JolietName("a\xF0\x9F\x98\x80z"), u"a_z");
    EXPECT_EQ(JolietName("a\xC3z\xFF"), u"a_z_");
    EXPECT_EQ(JolietName("a*b:c;d?e\\f\x01"), u"a_b_c_d_e_f_");
    // Over 64 characters: cut keeping the extension; two such names that meet
    // after the cut are told apart by a counter, still within 64.
    const std::string hundred(100, 'L');
    EXPECT_EQ(JolietName(hundred + ".txt"), std::u16string(60, u'L') + u".txt");
    LCDFile* l1 = dir.AddSubFile(Node(hundred + "1.txt"));
    LCDFile* l2 = dir.AddSubFile(Node(hundred + "2.txt"));
    ASSERT_TRUE(l1 && l2);
    EXPECT_NE(l1->longName, l2->longName);
    EXPECT_LE(l2->longName.size(), kJolietMax);
    const std::u16string tail = u"~2.txt";
    EXPECT_TRUE(l2->longName.size() > tail.size() &&
                l2->longName.compare(l2->longName.size() - tail.size(), tail.size(), tail) == 0);
}

// The places where readers need the standard: volume size, the descriptors'
// root records, path tables past a sector, ".." lengths, an image that starts
// after an earlier session, and the time zone's sign.
TEST(DataCD, LayoutFieldsFollowTheStandard)
{
    setenv("TZ", "XYZ-2", 1);  // two hours east of UTC
    tzset();
    LCDFile root(std::string(), true);
    LCDFile* wide = root.AddSubFile(Node("wide", true));
    for (int i = 1; i <= 16; ++i)
        wide->AddSubFile(Node("sub" + std::to_string(i), true));
    // Enough names to spread the wide folder over two sectors.
    for (int i = 0; i < 60; ++i)
        wide->AddSubFile(Node("file number " + std::to_string(i) + ".dat"));
    LCDFile* empty = root.AddSubFile(Node("a.txt"));
    LCDFile* next = root.AddSubFile(Node("b.txt"));
    next->size = 5000;
    for (auto& c : root.children)
        c->posix.modified = kNow;

    LCDIsoLayout layout;
    LCDIsoLayout::Options options;
    options.start = 300;
    options.now = kNow;
    options.rockRidge = false;
    std::string error;
    ASSERT_TRUE(layout.Build(root, options, error)) << error;
    const std::string head(reinterpret_cast<const char*>(layout.Head().data()), layout.Head().size());
    const std::string pvd = Sector(head, 16), svd = Sector(head, 17);
    EXPECT_EQ(pvd.substr(1, 5), "CD001");
    EXPECT_EQ(uint8_t(head[18 * 2048]), 255);
    // The volume counts every sector from 0, the earlier session's too.
    EXPECT_EQ(GetLE32(U(pvd, 80)), uint32_t(300 + layout.ImageSectors()));
    EXPECT_EQ(GetBE32(U(svd, 84)), uint32_t(300 + layout.ImageSectors()));
    // Root records: the root's own extent, the Joliet one after S too.
    EXPECT_EQ(GetLE32(U(pvd, 156 + 2)), uint32_t(root.location));
    EXPECT_EQ(GetLE32(U(pvd, 156 + 10)), root.isoBytes);
    EXPECT_EQ(root.isoBytes, 2048u);
    EXPECT_EQ(GetLE32(U(svd, 156 + 2)), uint32_t(root.jolietLocation));
    EXPECT_GT(root.jolietLocation, 300 + 19);
    EXPECT_EQ(wide->isoBytes, 4096u);
    // Empty files take no sectors.
    EXPECT_EQ(empty->location, next->location);

    // Path tables: 18 records (root, wide, 16 below it) across a sector
    // boundary are read as one run; each table where its descriptor says.
    for (const std::string* vd : {&pvd, &svd}) {
        const uint32_t size = GetLE32(U(*vd, 132));
        const std::string l = head.substr(size_t(GetLE32(U(*vd, 140)) - 300) * 2048, size);
        const std::string m = head.substr(size_t(GetBE32(U(*vd, 148)) - 300) * 2048, size);
        size_t at = 0;
        int32_t records = 0;
        while (at < l.size()) {
            const uint8_t len = uint8_t(l[at]);
            ASSERT_GT(len, 0) << "a gap inside the path table at " << at;
            const uint16_t parent = GetLE16(U(l, at + 6));
            EXPECT_EQ(GetBE16(U(m, at + 6)), parent);
            EXPECT_EQ(GetBE32(U(m, at + 2)), GetLE32(U(l, at + 2)));
            ++records;
            EXPECT_EQ(parent, records <= 2 ? 1 : 2) << records;
            at += 8 + len + (len & 1);
        }
        EXPECT_EQ(records, 18);
    }
    // ".." of a sub-folder: the parent's extent and its length.
    const LCDFile* firstSub = nullptr;
    for (const auto& c : wide->children)
        if (c->isDirectory && !firstSub)
            firstSub = c.get();
    ASSERT_TRUE(firstSub);
    const std::string sub = head.substr(size_t(firstSub->location - 300) * 2048, 2048);
    const size_t dotdot = uint8_t(sub[0]);
    EXPECT_EQ(GetLE32(U(sub, dotdot + 2)), uint32_t(wide->location));
    EXPECT_EQ(GetLE32(U(sub, dotdot + 10)), 4096u);
    // Local time with its offset east of UTC: +8 quarter hours.
    const std::string rootDir = head.substr(size_t(root.location - 300) * 2048, 2048);
    size_t rec = uint8_t(rootDir[0]);
    rec += uint8_t(rootDir[rec]);
    EXPECT_EQ(int8_t(rootDir[rec + 24]), 8);
    EXPECT_EQ(int8_t(pvd[813 + 16]), 8);
    unsetenv("TZ");
    tzset();

    // Sixteen sub-folders of the root: 17 records numbered in order, root first.
    LCDFile flat(std::string(), true);
    for (int i = 1; i <= 16; ++i)
        flat.AddSubFile(Node("dir" + std::to_string(i), true));
    ASSERT_TRUE(layout.Build(flat, LCDIsoLayout::Options(), error));
    EXPECT_EQ(flat.directoryNumber, 1);
    EXPECT_EQ(layout.IsoPathTableBytes(), 10u + 9u * 12 + 7u * 14);  // root, DIRn, DIRnn and a pad byte
    for (size_t i = 0; i < flat.children.size(); ++i)
        EXPECT_EQ(flat.children[i]->directoryNumber, i + 2);
}

TEST(DataCD, ImagesReadBackByIsoinfoXorrisoPycdlibAndOsirrox)
{
    const std::string top = test::TempPath("data tree");
    const std::string tree = MakeTree(top);
    for (bool rockRidge : {true, false}) {
        LCDDataTree files(rockRidge);
        ASSERT_TRUE(files.Add(tree)) << files.Error();
        EXPECT_TRUE(files.Notes().empty());
        LCDWriteDataCD::Data data;
        data.tree = &files;
        data.label = "Disc 1 é";
        data.imagePath = test::TempPath(rockRidge ? "rr.iso" : "plain.iso");
        ASSERT_EQ(WriteImage(data), kJobDone) << data.message;
        EXPECT_TRUE(data.notes.empty());
        EXPECT_EQ(int64_t(data.sectors) * 2048, int64_t(test::ReadFileBytes(data.imagePath).size()));
        EXPECT_TRUE(Checks(data.imagePath, top, data.label, rockRidge));
    }
    // The command line writes the same image.
    EXPECT_EQ(test::Run(std::string(KELVANE_BIN_DIR) + "/kelvane-cd iso -o " + test::Quote(test::TempPath("cli.iso")) +
                        " -V " + test::Quote("Disc 1 é") + " " + test::Quote(tree)),
              0);
    EXPECT_TRUE(Checks(test::TempPath("cli.iso"), top, "Disc 1 é"));
}

TEST(DataCD, BadInputIsToldAndTheImageStaysConsistent)
{
    const std::string top = test::TempPath("bad");
    Make(top + "/shrinks.bin", std::string(5000, 'a'));
    Make(top + "/grows.bin", std::string(3000, 'b'));
    Make(top + "/vanishes.bin", "v");
    Make(top + "/folder/x.txt", "x");
    ASSERT_EQ(symlink("..", (top + "/folder/loop").c_str()), 0);
    LCDDataTree tree(false);
    ASSERT_TRUE(tree.Add(top));
    ASSERT_EQ(tree.Notes().size(), 1u);
    EXPECT_NE(tree.Notes()[0].find("/folder/loop\" leads back into a folder"), std::string::npos);
    Make(top + "/shrinks.bin", std::string(100, 'a'));
    Make(top + "/grows.bin", std::string(9000, 'b'));
    unlink((top + "/vanishes.bin").c_str());

    LCDWriteDataCD::Data data;
    data.tree = &tree;
    data.imagePath = test::TempPath("bad.iso");
    ASSERT_EQ(WriteImage(data), kJobDone) << data.message;
    ASSERT_EQ(data.notes.size(), 3u);
    const std::string all = data.notes[0] + data.notes[1] + data.notes[2];
    EXPECT_NE(all.find("grows.bin\" grew while"), std::string::npos) << all;
    EXPECT_NE(all.find("shrinks.bin\" became shorter"), std::string::npos) << all;
    EXPECT_NE(all.find("vanishes.bin\" could not be read"), std::string::npos) << all;
    const std::string image = test::ReadFileBytes(data.imagePath);
    ASSERT_EQ(image.size(), size_t(data.sectors) * 2048);
    const LCDFile& folder = *tree.Root().children[0];
    for (const auto& c : folder.children) {
        const std::string onDisc = image.substr(size_t(c->location) * 2048, c->size);
        if (c->posixName == "grows.bin") {
            EXPECT_EQ(onDisc, std::string(3000, 'b'));
        } else if (c->posixName == "shrinks.bin") {
            EXPECT_EQ(onDisc, std::string(100, 'a') + std::string(4900, '\0'));
        }
    }

    // Cancelled before the write: no file.
    {
        CancelAtOnce cancel;
        data.imagePath = test::TempPath("cancelled.iso");
        EXPECT_EQ(WriteImage(data), kJobCancelled);
        EXPECT_FALSE(FileExists(data.imagePath));
        EXPECT_FALSE(FileExists(data.imagePath + ".part"));
    }

    // Refused: nothing to write, an image inside the tree, a folder that
    // cannot be created, a file of 4 GB.
    LCDDataTree none;
    LCDWriteDataCD::Data empty;
    empty.tree = &none;
    empty.imagePath = test::TempPath("none.iso");
    EXPECT_EQ(WriteImage(empty), kJobFailed);
    EXPECT_EQ(empty.message, "CD Write failed because there are no files to write.");
    data.imagePath = top + "/folder/inside.iso";
    EXPECT_EQ(WriteImage(data), kJobFailed);
    EXPECT_NE(data.message.find("inside the folders"), std::string::npos);
    EXPECT_FALSE(FileExists(data.imagePath));
    data.imagePath = test::TempPath("no such folder/x.iso");
    EXPECT_EQ(WriteImage(data), kJobFailed);
    EXPECT_EQ(data.message, "Cannot open the ISO file to write \"" + data.imagePath + "\".");
    const std::string huge = test::TempPath("huge/4g.bin");
    CreateFolders(GetFolderFromPath(huge));
    const int fd = open(huge.c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_EQ(ftruncate(fd, off_t(4) << 30), 0);
    close(fd);
    LCDDataTree big;
    EXPECT_FALSE(big.Add(GetFolderFromPath(huge)));
    EXPECT_NE(big.Error().find("4g.bin\" is 4 GB or larger"), std::string::npos) << big.Error();
}

class DataBurnTest : public ::testing::Test {
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

TEST_F(DataBurnTest, TheDataTrackReadsBackAsTheImage)
{
    const std::string top = test::TempPath("burn tree");
    Make(top + "/docs/a.txt", "alpha");
    Make(top + "/docs/b.bin", std::string(70000, 'b'));
    Make(top + "/c.txt", "gamma");
    LCDDataTree tree;
    ASSERT_TRUE(tree.Add(top + "/docs"));
    ASSERT_TRUE(tree.Add(top + "/c.txt"));

    LCDWriteDataCD::Data image;
    image.tree = &tree;
    image.label = "Burned";
    image.imagePath = test::TempPath("burned.iso");
    ASSERT_EQ(WriteImage(image), kJobDone) << image.message;

    // Too small a disc: the capacity message, nothing written.
    const std::string small = test::TempPath("small disc");
    CreateFolders(small);
    Drive("cdr:" + small + "?capacity=20");
    LCDWriteDataCD::Data data;
    data.tree = &tree;
    data.label = "Burned";
    data.clock = &clock;
    EXPECT_EQ(WriteImage(data), kJobFailed);
    char expected[256];
    std::snprintf(expected, sizeof expected,
                  "The CD has a capacity of 0.04Mb and you are trying to write %4.2fMb. Please insert a larger "
                  "capacity CD or try fewer tfiles.",
                  image.sectors / 512.0);
    EXPECT_EQ(data.message, expected);
    EXPECT_FALSE(FileExists(small + "/disc.iso"));

    const std::string folder = test::TempPath("data disc");
    CreateFolders(folder);
    std::shared_ptr<LVirtualDrive> drive = Drive("cdr:" + folder);
    ASSERT_EQ(WriteImage(data), kJobDone) << data.message;
    EXPECT_EQ(data.startSector, 0);
    EXPECT_EQ(data.sectors, image.sectors);
    LSCSI scsi;
    scsi.Open(drive->Connect());
    std::vector<uint8_t> none;
    ASSERT_EQ(cdtest::Run(scsi, LMmcCommands::StartStop(true), none), kScsiOk);  // the burn ejected it
    for (int i = 0; i < 10 && cdtest::Run(scsi, LMmcCommands::TestUnitReady(), none) != kScsiOk; ++i) {
    }
    std::vector<uint8_t> back(size_t(data.sectors) * 2048);
    for (int32_t lba = 0; lba < data.sectors; lba += 16) {
        const int32_t n = std::min(16, data.sectors - lba);
        std::vector<uint8_t> part(size_t(n) * 2048);
        ASSERT_EQ(cdtest::Run(scsi, LMmcCommands::Read10(uint32_t(lba), uint16_t(n)), part), kScsiOk) << lba << scsi.LastError();
        std::copy(part.begin(), part.end(), back.begin() + size_t(lba) * 2048);
    }
    EXPECT_TRUE(std::string(back.begin(), back.end()) == test::ReadFileBytes(image.imagePath));
    EXPECT_EQ(test::Run("isoinfo -d -i " + test::Quote(folder + "/disc.iso") + " | grep -q 'Volume id: BURNED'"), 0);
}
