// The save job end to end: what reaches the file, what a failure or a cancel
// leaves, and which names and links it touches.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/LFile.h"
#include "core/LScriptedUi.h"
#include "core/LSettings.h"
#include "formats/LFlacEncoderSettings.h"
#include "formats/LGenSink.h"
#include "formats/LGenSource.h"
#include "formats/LKVSaveToSink.h"
#include "formats/LOggEncoderSettings.h"
#include "formats/EncoderTestUtil.h"
#include "support/TestSupport.h"

using test::Quote;
using test::TempPath;
using namespace test::encoder;

namespace {

// Saves `values` (interleaved) to `path` through the save job; its result.
int32_t SaveValues(const std::string& path, std::vector<int32_t> values, int32_t rate, uint8_t channels)
{
    LCutListAudio audio;
    audio.sampleRate = rate;
    audio.channels = channels;
    LSoundSource source = MakeSource<test::VectorSource>(std::move(values), rate, channels);
    LKVSaveToSink::Data data{&audio, path, false};
    return RunJob("Saving", [&](LProgressDialog& d) { return LKVSaveToSink::Process(d, data, source); });
}

// "rate,channels" of the first audio stream, as ffprobe sees it.
std::string Probe(const std::string& path)
{
    const std::string info = TempPath("probe.txt");
    test::Run("ffprobe -v error -select_streams a:0 -show_entries stream=sample_rate,channels -of csv=p=0 " +
              Quote("file:" + path) + " > " + Quote(info));
    std::string text = test::ReadFileBytes(info);
    while (!text.empty() && (text.back() == '\n' || text.back() == ','))
        text.pop_back();
    return text;
}

// Records what an encoder dialog was opened on and confirms it.
class EncoderDialogUi : public LScriptedUi {
public:
    bool FlacEncodeDialog(LFlacEncoderSettings& s) override
    {
        flac = s;
        return true;
    }
    bool OggEncodeDialog(LOggEncoderSettings& s) override
    {
        ogg = s;
        return true;
    }
    LFlacEncoderSettings flac;
    LOggEncoderSettings ogg;
};

} // namespace

TEST(SaveJob, EncodersKeepTheDocumentsRateAndChannelsUntilTheUserStoresOthers)
{
    const std::vector<int32_t> stereo = test::Sine(48000, 48000, 440, 200000, 2);
    for (const char* ext : {".flac", ".ogg"}) {
        SCOPED_TRACE(ext);
        const std::string out = TempPath(std::string("doc") + ext);
        ASSERT_EQ(SaveValues(out, stereo, 48000, 2), kJobDone);
        EXPECT_EQ(Probe(out), "48000,2") << "saved without opening the options";
        LGenSinkEncoding e;
        ASSERT_TRUE(LGenSinkEncoderFormat(ext, 48000, 2, e));
        EXPECT_EQ(e.rate, 48000);
        EXPECT_EQ(e.channels, 2);
    }

    // The options dialog opens on what would be written; once confirmed, its
    // values are the user's and hold for every document.
    EncoderDialogUi ui;
    // Without a document (the batch wizard) it opens on "Same as the source",
    // which a confirmed dialog keeps.
    ASSERT_TRUE(LGenSinkCheckSettings(".flac", 0, 0));
    EXPECT_EQ(ui.flac.channels, 0);
    EXPECT_EQ(ui.flac.sampleRate, 0);
    const std::string same = TempPath("same.flac");
    ASSERT_EQ(SaveValues(same, stereo, 48000, 2), kJobDone);
    EXPECT_EQ(Probe(same), "48000,2");
    ASSERT_TRUE(LGenSinkCheckSettings(".flac", 48000, 2));
    EXPECT_EQ(ui.flac.channels, 2);
    EXPECT_EQ(ui.flac.sampleRate, 48000);
    LSettings::WriteInt("OggEncoder", "Channels", 1);
    ASSERT_TRUE(LGenSinkCheckSettings(".ogg", 22050, 2));
    EXPECT_EQ(ui.ogg.channels, 1) << "a stored channel count is what is written, and shown";
    EXPECT_EQ(ui.ogg.sampleRate, 22050);
    const std::string mono = TempPath("stored.ogg");
    ASSERT_EQ(SaveValues(mono, stereo, 48000, 2), kJobDone);
    EXPECT_EQ(Probe(mono), "22050,1");
    const std::string flac = TempPath("stored.flac");
    ASSERT_EQ(SaveValues(flac, test::Sine(8000, 8000, 440, 200000), 8000, 1), kJobDone);
    EXPECT_EQ(Probe(flac), "48000,2");
}

TEST(SaveJob, AFailureWhileFinishingIsAFailedSaveThatLeavesTheTargetAlone)
{
    // Every frame fits under the file-size limit; what the writer adds when it
    // finishes (the last half byte of VOX, the last GSM block) does not.
    struct Case {
        const char* name;
        int32_t frames;
        rlim_t limit;
    };
    for (Case c : {Case{"odd.vox", 1001, 500}, Case{"part.gsm", 170, 33}}) {
        SCOPED_TRACE(c.name);
        const std::string target = TempPath(c.name);
        test::WriteFileBytes(target, "the old file");
        LScriptedUi ui;
        rlimit limit{c.limit, RLIM_INFINITY};
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
        const int32_t result = SaveValues(target, test::Sine(c.frames, 8000, 440, 100000), 8000, 1);
        limit.rlim_cur = RLIM_INFINITY;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
        EXPECT_EQ(result, kJobFailed);
        EXPECT_EQ(test::ReadFileBytes(target), "the old file");
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, "Unable to create file \"" + target + "\" for saving.\r\n\r\nFile too large.");
    }
    for (const std::string& n : ListFolder(test::HomeDir()))
        EXPECT_NE(n.rfind(".kelvane-", 0), 0u) << "temporary left: " << n;
}

TEST(SaveJob, AnEncoderThatStopsReadingCanBeCancelled)
{
    // Never reads, and quits only long after the test would have cancelled.
    UseComponent("flacenc", FakeEncoder("stuck", "exec sleep 30"));
    const std::string target = TempPath("stuck.flac");
    test::ScriptedProgress progress(20);
    EXPECT_EQ(SaveValues(target, test::Sine(10 * 44100, 44100, 440, 100000, 2), 44100, 2), kJobCancelled);
    EXPECT_FALSE(FileExists(target));
}

TEST(SaveJob, OnlyTheEncodersErrorsReachTheUser)
{
    UseComponent("oggenc", FakeEncoder("chatty", "cat > /dev/null\n"
                                                 "echo 'Opening with wav module: WAV file reader' >&2\n"
                                                 "echo 'WARNING: libsndfile may ignore -r' >&2\n"
                                                 "echo 'ERROR: Failed writing data to output stream' >&2\n"
                                                 "echo 'Done encoding.' >&2\nexit 1"));
    LScriptedUi ui;
    EXPECT_EQ(SaveValues(TempPath("chatty.ogg"), test::Sine(4000, 44100, 440, 1000), 44100, 1), kJobFailed);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Unable to create file \"" + TempPath("chatty.ogg") +
                                       "\" for saving.\r\n\r\nThe encoder said:\r\nERROR: Failed writing data to "
                                       "output stream");
}

TEST(SaveJob, PlantedLinksAreNeverFollowedAndLongOrDashNamesSave)
{
    const std::string folder = TempPath("shared");
    ASSERT_TRUE(CreateFolders(folder));
    const std::string victim = TempPath("victim.txt");
    test::WriteFileBytes(victim, "keep me");
    // An encoder that reports the mode of the file it is given, then writes it.
    const std::string modes = TempPath("modes.txt");
    UseComponent("flacenc", FakeEncoder("modes", "for out; do :; done\nstat -c %a \"$out\" >> " + Quote(modes) +
                                                     "\nexec cat > \"$out\""));
    const std::vector<int32_t> pcm = test::Sine(1000, 8000, 440, 100000);
    for (const std::string& name : {std::string("a.wav"), std::string("a.flac"), std::string(251, 'w') + ".wav",
                                    std::string(250, 'f') + ".flac"}) {
        SCOPED_TRACE(name.size());
        const std::string target = FilePathCat(folder, name);
        for (const std::string& guess : {".kelvane-" + std::to_string(getpid()) + "-" + name, name + ".tmp"}) {
            if (guess.size() > 255)
                continue;
            ASSERT_EQ(::symlink(victim.c_str(), FilePathCat(folder, guess).c_str()), 0);
        }
        ASSERT_EQ(SaveValues(target, pcm, 8000, 1), kJobDone);
        EXPECT_GE(test::ReadFileBytes(target).size(), 2000u) << "1000 frames of 16 bits";
        EXPECT_EQ(test::ReadFileBytes(victim), "keep me");
    }
    EXPECT_EQ(test::ReadFileBytes(modes), "600\n600\n") << "private until it is complete";

    // A name starting with "-" reaches no program as an option: every type is
    // saved in the current folder under such a name, and the encoded ones read back.
    UseComponent("flacenc", "flac");
    const std::string dash = TempPath("dash");
    ASSERT_TRUE(CreateFolders(dash));
    const std::vector<int32_t> music = test::Sine(22050, 22050, 440, 100000);
    char* cwd = getcwd(nullptr, 0);
    ASSERT_EQ(chdir(dash.c_str()), 0);
    for (const char* ext : {".wav", ".mp3", ".ogg", ".flac", ".aac", ".m4a", ".au", ".aiff", ".gsm", ".vox", ".raw"}) {
        const std::string name = std::string("-d") + ext;
        EXPECT_EQ(SaveValues(name, music, 22050, 1), kJobDone) << name;
        EXPECT_TRUE(FileExists(name)) << name;
    }
    for (const char* name : {"-d.ogg", "-d.flac", "-d.m4a"}) {
        LSoundSource source;
        uint8_t askOnce = 0;
        EXPECT_EQ(LGenSourceOpen(source, name, &askOnce), 0) << name;
        EXPECT_EQ(source->GetError(), kSrcGood) << name;
    }
    EXPECT_EQ(chdir(cwd), 0);
    std::free(cwd);
}
