// What the openers accept as input and where decoded files go: only plain files
// are read, names that look like options still decode, and decoder output lives
// in a private folder of this process.
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/LFile.h"
#include "core/LScriptedUi.h"
#include "formats/LDecoderFolder.h"
#include "formats/LGenSource.h"
#include "formats/LWaveFile.h"
#include "formats/mp3/LMP3Source.h"
#include "support/TestSupport.h"
#include "support/WavTestSupport.h"

using test::Quote;
using test::TempPath;

namespace {

std::vector<std::string> DecoderFolders(const std::string& parent)
{
    std::vector<std::string> found;
    if (DIR* dir = opendir(parent.c_str())) {
        while (dirent* e = readdir(dir))
            if (std::string(e->d_name).rfind("kelvane-decode-", 0) == 0)
                found.push_back(parent + "/" + e->d_name);
        closedir(dir);
    }
    return found;
}

// A process that opens `fifo` for writing, which waits for a reader, then writes
// `bytes`; ended by the test whatever it is doing.
struct FifoWriter {
    pid_t pid;
    FifoWriter(const std::string& fifo, const std::string& bytes)
    {
        pid = fork();
        if (pid == 0) {
            int fd = ::open(fifo.c_str(), O_WRONLY);
            if (fd >= 0 && ::write(fd, bytes.data(), bytes.size()) < 0)
                _exit(1);
            _exit(0);
        }
    }
    ~FifoWriter()
    {
        ::kill(pid, SIGKILL);
        while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
};

} // namespace

TEST(DecoderInput, FifosAndDevicesAreRefusedWithoutWaiting)
{
    LScriptedUi ui;
    const std::string wav = test::ReadFileBytes(test::WriteSineWav("fed.wav", 8000, 1, 4000));
    for (const char* name : {"pipe.wav", "pipe.mp3", "pipe.ogg", "pipe.au"}) {
        const std::string fifo = TempPath(name);
        ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
        for (bool writer : {false, true}) {
            std::unique_ptr<FifoWriter> feed = writer ? std::make_unique<FifoWriter>(fifo, wav) : nullptr;
            LSoundSource s;
            uint8_t ask = 1;
            ui.messages.clear();
            EXPECT_EQ(LGenSourceOpen(s, fifo, &ask), 2) << name;
            ASSERT_EQ(ui.messages.size(), 1u) << name;
            EXPECT_EQ(ui.messages[0].text,
                      "Cannot open \"" + fifo + "\" because it is a FIFO (named pipe), not a sound file.");
        }
    }
    // The readers themselves never wait in open() either.
    EXPECT_EQ(LWaveFile::OpenSource(TempPath("pipe.wav"))->GetError(), kSrcCannotOpen);
    EXPECT_EQ(LMP3Source::Open(TempPath("pipe.mp3"))->GetError(), kSrcCannotOpen);
    // Nor does the decoder program, run by hand.
    {
        FifoWriter feed(TempPath("pipe.ogg"), wav);
        EXPECT_EQ(test::Run(KELVANE_BIN_DIR "/kelvane-avdec -o " + Quote(TempPath("out.wav")) + " " +
                            Quote(TempPath("pipe.ogg")) + " 2>/dev/null"),
                  1);
        EXPECT_FALSE(FileExists(TempPath("out.wav")));
    }
    // A name that leads to a device: noise for ever, never a sound file.
    ASSERT_EQ(::symlink("/dev/urandom", TempPath("noise.flac").c_str()), 0);
    LSoundSource s;
    uint8_t ask = 1;
    ui.messages.clear();
    EXPECT_EQ(LGenSourceOpen(s, TempPath("noise.flac"), &ask), 2);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("because it is a device"), std::string::npos) << ui.messages[0].text;
    EXPECT_EQ(test::Run(KELVANE_BIN_DIR "/kelvane-avdec -o " + Quote(TempPath("out.wav")) + " " +
                        Quote(TempPath("noise.flac")) + " 2>/dev/null"),
              1);
}

TEST(DecoderInput, NamesThatLookLikeOptionsDecode)
{
    LScriptedUi ui;
    const std::string folder = TempPath("dash");
    ASSERT_TRUE(CreateFolders(folder));
    const std::string src = test::WriteSineWav("dash/src.wav", 8000, 1, 8000);
    const std::string makers[] = {
        "oggenc -Q -o ./-x.ogg src.wav",
        "flac -s -f -o ./-x.flac src.wav",
        "ffmpeg -v error -y -i src.wav -c:a aac ./-x.m4a",
        "ffmpeg -v error -y -i src.wav -c:a wmav2 ./-x.wma",
    };
    for (const std::string& make : makers)
        ASSERT_EQ(test::Run("cd " + Quote(folder) + " && " + make), 0) << make;
    char cwd[4096];
    ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(::chdir(folder.c_str()), 0);
    for (const char* name : {"-x.ogg", "-x.flac", "-x.m4a", "-x.wma"}) {
        LSoundSource s;
        uint8_t ask = 1;
        EXPECT_EQ(LGenSourceOpen(s, name, &ask), 0) << name;
        EXPECT_EQ(s->GetSampleRate(), 8000) << name;
        EXPECT_NEAR(double(s->GetLength()), 8000.0, 2048.0) << name;
    }
    ASSERT_EQ(::chdir(cwd), 0);
    EXPECT_TRUE(ui.messages.empty()) << ui.messages[0].text;
}

TEST(DecoderInput, DecodedFilesLiveInAPrivateFolderOfTheProcess)
{
    LScriptedUi ui;
    const std::string tmp = GetTempFolder();
    // What another user might leave under the shared names: never read.
    test::WriteSineWav("Temp1.wav", 8000, 1, 123);
    ASSERT_EQ(::mkdir((tmp + "/Temp1.lck").c_str(), 0700), 0);  // cannot be opened as a file
    const std::string src = test::WriteSineWav("mine.wav", 8000, 1, 4000);
    ASSERT_EQ(test::Run("flac -s -f -o " + Quote(TempPath("mine.flac")) + " " + Quote(src)), 0);

    LDecoderFolder::Release();
    LSoundSource s;
    uint8_t ask = 1;
    ASSERT_EQ(LGenSourceOpen(s, TempPath("mine.flac"), &ask), 0);
    EXPECT_EQ(s->GetLength(), 4000) << "the file decoded, not the one planted";
    const std::vector<std::string> folders = DecoderFolders(tmp);
    ASSERT_EQ(folders.size(), 1u);
    struct stat st {};
    ASSERT_EQ(::stat(folders[0].c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_FALSE(FileExists(folders[0] + "/Temp1.wav")) << "the open source holds it; the name is gone";

    // A folder whose owner was killed goes with the next one made; a live one stays.
    pid_t pid = fork();
    if (pid == 0) {
        LDecoderFolder::Get();
        std::raise(SIGKILL);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_EQ(DecoderFolders(tmp).size(), 2u);
    LDecoderFolder::Release();
    EXPECT_FALSE(FolderExists(folders[0])) << "released with its owner's say";
    ASSERT_EQ(DecoderFolders(tmp).size(), 1u) << "the killed owner's";
    const std::string next = LDecoderFolder::Get();
    EXPECT_EQ(DecoderFolders(tmp), std::vector<std::string>{next});
    LDecoderFolder::Release();
    EXPECT_TRUE(DecoderFolders(tmp).empty());
}

TEST(DecoderInput, TheDecoderProgramStopsWhenNothingDecodesForLong)
{
    // A FLAC stream's header and then a terabyte of nothing (a sparse file, so no
    // disk is used): read to its end it would keep the decoder busy for hours.
    const std::string src = test::WriteSineWav("short.wav", 8000, 1, 800);
    const std::string flac = TempPath("endless.flac");
    ASSERT_EQ(test::Run("flac -s -f -o " + Quote(flac) + " " + Quote(src)), 0);
    std::string bytes = test::ReadFileBytes(flac);
    size_t end = 4;  // "fLaC", then metadata blocks, the last one flagged
    for (bool last = false; !last && end + 4 <= bytes.size();) {
        last = (uint8_t(bytes[end]) & 0x80) != 0;
        end += 4 + ((size_t(uint8_t(bytes[end + 1])) << 16) | (size_t(uint8_t(bytes[end + 2])) << 8) |
                    size_t(uint8_t(bytes[end + 3])));
    }
    test::WriteFileBytes(flac, bytes.substr(0, end));
    ASSERT_EQ(::truncate(flac.c_str(), off_t(1) << 40), 0);
    const std::string out = TempPath("endless.wav");
    EXPECT_EQ(test::Run(KELVANE_BIN_DIR "/kelvane-avdec -o " + Quote(out) + " " + Quote(flac) + " 2>/dev/null"), 1);
    EXPECT_FALSE(FileExists(out));
    ::unlink(flac.c_str());
}
