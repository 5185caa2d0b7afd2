// The editor as a user starts it: the built program in a process of its own,
// offscreen, with files handed to it by later instances. What it holds open is
// read from its crash records, which it writes for every open document.
#include <QProcess>
#include <QProcessEnvironment>
#include <chrono>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "app/LKVRecovery.h"
#include "core/LFile.h"
#include "support/TestSupport.h"

namespace {

// An editor with a settings home of its own (so it is the first instance there),
// found the way ./run starts it: not on PATH, its helpers only beside it.
class Editor {
public:
    explicit Editor(const std::string& name, const std::string& settings = {}) : home_(test::TempPath(name))
    {
        ::mkdir(home_.c_str(), 0700);
        ::mkdir((home_ + "/runtime").c_str(), 0700);
        test::WriteFileBytes(home_ + "/kelvane.ini", "[Settings]\nPlayWhenOpen=0\n" + settings);
        env_.insert("QT_QPA_PLATFORM", "offscreen");
        env_.insert("KELVANE_HOME", QString::fromStdString(home_));
        env_.insert("TMPDIR", QString::fromStdString(home_));
        env_.insert("XDG_RUNTIME_DIR", QString::fromStdString(home_ + "/runtime"));
        env_.insert("KELVANE_AUDIO_OUT", "null");
        env_.insert("PATH", "/usr/local/bin:/usr/bin:/bin");
    }
    ~Editor()
    {
        if (first_.state() != QProcess::NotRunning) {
            first_.kill();
            first_.waitForFinished(30000);
        }
    }

    // Starts the first instance on `file`.
    bool Start(const std::string& file)
    {
        Prepare(first_);
        first_.start(Program(), {QString::fromStdString(file)});
        return first_.waitForStarted(30000);
    }
    bool Alive() { return !first_.waitForFinished(0) && first_.state() == QProcess::Running; }

    // A second instance handing `file` over; its exit status (-1 when it did not end normally).
    int HandOver(const std::string& file)
    {
        QProcess second;
        Prepare(second);
        second.start(Program(), {QString::fromStdString(file)});
        // A guard against a hang, not a speed check.
        if (!second.waitForFinished(60000))
            return -1;
        return second.exitStatus() == QProcess::NormalExit ? second.exitCode() : -1;
    }

    // The record of the open document at `path`, once there is one; false when
    // none comes (within a guard time long enough for any machine) or the
    // editor ended.
    bool WaitForDocument(const std::string& path, LKVRecoveryRecord& found)
    {
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        while (std::chrono::steady_clock::now() < giveUp && Alive()) {
            for (const LKVRecoveryRecord& r : Records())
                if (r.path == path) {
                    found = r;
                    return true;
                }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }

    std::vector<LKVRecoveryRecord> Records() const
    {
        std::vector<LKVRecoveryRecord> records;
        const std::string folder = home_ + "/Current";
        for (const std::string& name : ListFolder(folder)) {
            if (GetFileExtension(name) != LKVRecovery::kExtension)
                continue;
            const std::string bytes = test::ReadFileBytes(FilePathCat(folder, name));
            LKVRecoveryRecord r;
            if (LKVRecoveryRecord::Decode(std::vector<uint8_t>(bytes.begin(), bytes.end()), r))
                records.push_back(std::move(r));
        }
        return records;
    }

private:
    static QString Program() { return QStringLiteral(KELVANE_BIN_DIR "/kelvane"); }
    void Prepare(QProcess& p)
    {
        p.setProcessEnvironment(env_);
        p.setWorkingDirectory(QString::fromStdString(home_));
        p.setProcessChannelMode(QProcess::ForwardedChannels);
    }

    std::string home_;
    QProcessEnvironment env_ = QProcessEnvironment::systemEnvironment();
    QProcess first_;
};

int64_t Frames(const LKVRecoveryRecord& r)
{
    int64_t frames = 0;
    for (const auto& c : r.cuts)
        frames += c.length;
    return frames;
}

} // namespace

TEST(EditorProcess, FilesHandedOverWhileADocumentIsOpenAllOpenAndTheEditorLives)
{
    // The Ogg decoder the editor runs waits until the test lets it go on: each
    // load is still running its job, events and all, when the instance that
    // handed the file over has ended and hung up.
    const std::string fifo = test::TempPath("go");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string decoder = test::TempPath("held-decoder");
    test::WriteFileBytes(decoder, "#!/bin/sh\nhead -c 1 " + test::Quote(fifo) + " >/dev/null\nexec " +
                                      test::Quote(KELVANE_BIN_DIR "/kelvane-avdec") + " \"$@\"\n");
    ASSERT_EQ(::chmod(decoder.c_str(), 0700), 0);
    const std::string wav = test::TempPath("tone.wav");
    const std::string ogg = test::TempPath("tone.ogg");
    ASSERT_EQ(test::Run("sox -q -n -r 8000 -c 1 -b 16 " + test::Quote(wav) + " synth 0.25 sine 440 && oggenc -Q -o " +
                        test::Quote(ogg) + " " + test::Quote(wav)),
              0);

    Editor editor("handed", "[Components\\oggdec]\nPath=" + decoder + "\n");
    ASSERT_TRUE(editor.Start(wav));
    LKVRecoveryRecord r;
    ASSERT_TRUE(editor.WaitForDocument(wav, r));
    auto release = [&] {
        for (int tries = 0; tries < 60000 && editor.Alive(); ++tries) {
            const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) {
                const bool written = ::write(fd, "g", 1) == 1;
                ::close(fd);
                return written;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));  // no decoder waiting yet
        }
        return false;
    };
    // Fifty times, as a file manager would hand them over.
    for (int i = 0; i < 50; ++i) {
        SCOPED_TRACE("file " + std::to_string(i));
        const std::string file = test::TempPath("handed" + std::to_string(i) + ".ogg");
        ASSERT_EQ(test::Run("cp " + test::Quote(ogg) + " " + test::Quote(file)), 0);
        ASSERT_EQ(editor.HandOver(file), 0);
        ASSERT_TRUE(release()) << "the editor is alive: " << editor.Alive();
        ASSERT_TRUE(editor.WaitForDocument(file, r)) << "the editor is alive: " << editor.Alive();
        EXPECT_EQ(Frames(r), 2000);
    }
    EXPECT_TRUE(editor.Alive());
    EXPECT_EQ(editor.Records().size(), 51u);
}

TEST(EditorProcess, TheProgramsOfOneBuildTargetOpenAnOggFile)
{
    // The decoder the editor runs for Ogg is its own program, beside it; this
    // binary's build depends only on the target that ./run builds.
    const std::string wav = test::TempPath("tune.wav");
    const std::string ogg = test::TempPath("tune.ogg");
    ASSERT_EQ(test::Run("sox -q -n -r 22050 -c 2 -b 16 " + test::Quote(wav) + " synth 1.5 sine 440 sine 660"), 0);
    ASSERT_EQ(test::Run("oggenc -Q -o " + test::Quote(ogg) + " " + test::Quote(wav)), 0);
    Editor editor("ogg");
    ASSERT_TRUE(editor.Start(ogg));
    LKVRecoveryRecord r;
    ASSERT_TRUE(editor.WaitForDocument(ogg, r));
    EXPECT_EQ(r.sampleRate, 22050);
    EXPECT_EQ(r.channels, 2);
    EXPECT_EQ(Frames(r), 33075) << "1.5 s";
}
