#include "cli/BatchRun.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <cstdio>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "cli/BatchUi.h"
#include "core/LSettings.h"
#include "core/LConsoleUi.h"
#include "effects/LEfLoudnessScan.h"
#include "core/LFile.h"
#include "core/LPRSourceToSink.h"
#include "core/LSoundTime.h"
#include "core/LTempOutput.h"
#include "core/LUi.h"
#include "edit/LAudioCutTank.h"
#include "edit/LTankFolderLock.h"
#include "app/KVBatchConverter.h"
#include "app/LKVBatchTargets.h"
#include "app/LKVScriptFile.h"
#include "formats/KVLoadFile.h"
#include "formats/LDecoderFolder.h"
#include "formats/LFileCoding.h"
#include "formats/LFileDescription.h"
#include "formats/LKVSaveToSink.h"
#include "formats/LGenSink.h"
#include "formats/LGenSource.h"
#include "formats/LRawSettings.h"
#include "formats/LWaveFile.h"
#include "formats/LWaveSaveFormat.h"
#include "effects/LEfGenerate.h"
#include "app/LKVSpeechChoice.h"
#include "effects/LSRCTone.h"

namespace {

const char* Outcome(int32_t result)
{
    return result == kJobDone ? "done" : result == kJobCancelled ? "cancelled" : "failed";
}

// "saved at 22050 Hz (not 8000 Hz): <why>" when an encoder could not keep the
// rate or the channels it was asked for; else nothing.
std::string EncodingNotice(const LGenSinkEncoding& e)
{
    const bool rate = e.rate != e.askedRate, channels = e.channels != e.askedChannels;
    if (!rate && !channels)
        return {};
    auto layout = [](uint8_t count) { return count == 1 ? "mono" : "stereo"; };
    std::string saved = "saved", instead = "not";
    if (rate) {
        saved += " at " + std::to_string(e.rate) + " Hz";
        instead += " " + std::to_string(e.askedRate) + " Hz";
    }
    if (channels) {
        saved += std::string(" in ") + layout(e.channels);
        instead += std::string(rate ? " in " : " ") + layout(e.askedChannels);
    }
    return saved + " (" + instead + "): " + e.note;
}

// A source wider than 16 bits keeps its width (with the stream's 20 bits) when
// saved as WAV in the default format, 16-bit PCM, in the chooser's format of its
// coding; a format the user stored is theirs. The other lossless types are
// written with 16 bits here, which the user is told.
std::string KeepWidth(const std::string& source, const std::string& ext, const LCutListAudio& audio,
                      LKVSaveToSink::Data& save)
{
    // Lossy types are chosen as such.
    const bool sixteen = ext == ".aif" || ext == ".aiff" || ext == ".au" || ext == ".flac";
    if (!sixteen && ext != ".wav")
        return {};
    const LFileCoding coding = LDescribeFileCoding(source);
    if (coding.bits <= 16)
        return {};
    const std::string fewer = "saved with 16-bit samples (the source is " + coding.coding + ")";
    if (sixteen)
        return fewer;
    const LWaveFileFormat stored = LWaveSaveFormat::Load(audio.sampleRate, audio.channels);
    if (!stored.IsPcm16())
        return {};
    // A WAV source names its coding; any other wide source is PCM, as its decoder gives it.
    LWaveFile::Layout layout;
    if (!LWaveFile::ReadLayout(source, layout))
        layout.format = LWaveFileFormat::Pcm(audio.sampleRate, audio.channels, uint16_t(coding.bits));
    const auto wide = LWaveSaveFormat::SameWideCoding(layout.format, int32_t(stored.SamplesPerSec()), stored.Channels());
    if (!wide)
        return fewer;
    save.waveFormat = *wide;
    return {};
}

// What a save needs beyond the audio. Encoders keep each document's rate and
// channels unless the user fixed them (--set or a confirmed dialog); the
// notices say where an encoder cannot. The raw writer takes its rate and
// channels from its settings: it gets the document's unless --set fixed them,
// so a stereo file does not come out mono, nor a 22050 Hz one resampled (the
// raw coding stays the stored one). The overrides last as long as the object.
class EncoderPreparation {
public:
    explicit EncoderPreparation(const std::string& target) : ext_(LGenExtension(target))
    {
        for (char& c : ext_)
            c = char(std::tolower(static_cast<unsigned char>(c)));
    }
    ~EncoderPreparation()
    {
        for (const auto& [section, name] : temporary_)
            LSettings::RemoveOverride(section, name);
    }
    EncoderPreparation(const EncoderPreparation&) = delete;
    EncoderPreparation& operator=(const EncoderPreparation&) = delete;

    void Prepare(const LCutListAudio& audio)
    {
        const char* section = ext_ == ".raw" ? kRawAudioSection : nullptr;
        if (section) {
            for (auto [name, value] : {std::pair<const char*, int32_t>{"SampleRate", audio.sampleRate},
                                       std::pair<const char*, int32_t>{"Channels", audio.channels}}) {
                if (!LSettings::HasOverride(section, name)) {
                    LSettings::SetOverride(section, name, std::to_string(value));
                    temporary_.emplace_back(section, name);
                }
            }
        }
        LGenSinkEncoding encoding;
        if (LGenSinkEncoderFormat(ext_, audio.sampleRate, audio.channels, encoding))
            notices.push_back(EncodingNotice(encoding));
    }
    const std::string& Extension() const { return ext_; }
    // The notices joined by "; ".
    std::string Notice() const
    {
        std::string text;
        for (const std::string& n : notices)
            if (!n.empty())
                text += (text.empty() ? "" : "; ") + n;
        return text;
    }

    std::vector<std::string> notices;

private:
    std::string ext_;
    std::vector<std::pair<std::string, std::string>> temporary_;
};

} // namespace

int32_t GenerateFile(const std::string& target, const BatchOptions& options, std::string* notice)
{
    LCutListAudio audio;
    LKVBatchConversion conversion;
    int32_t result;
    if (options.generator == BatchOptions::Generator::Tone) {
        const LSoundSource source = MakeSource<LSRCTone>(options.tone);
        result = RunJob("Tone Generator",
                        [&](LProgressDialog& d) { return LEfGenerate(d, source, audio, LSRCTone::kJobText); });
    } else {
        // Speech comes at the synthesizer's rate, mono; --rate and --channels convert it.
        conversion = {options.rate, uint8_t(options.channels)};
        const std::string voice = options.voice.empty() ? "en" : options.voice;
        result = RunJob("Text To Speech", [&](LProgressDialog& d) {
            return LKVSpeak(d, options.speech, voice, options.speed, options.pitch, audio);
        });
    }
    if (result != kJobDone)
        return result;
    EncoderPreparation encoder(target);
    auto prepare = [&](LCutListAudio& generated, LKVSaveToSink::Data&) -> int32_t {
        encoder.Prepare(generated);
        return kJobDone;
    };
    result = KVBatchConverter::ProcessAudio(audio, target, options.commands, prepare, conversion);
    if (notice)
        *notice = encoder.Notice();
    return result;
}

int32_t ConvertFile(const std::string& source, const std::string& target, const BatchOptions& options,
                    std::string* notice)
{
    EncoderPreparation encoder(target);
    auto prepare = [&](LCutListAudio& audio, LKVSaveToSink::Data& save) -> int32_t {
        encoder.Prepare(audio);
        encoder.notices.push_back(KeepWidth(source, encoder.Extension(), audio, save));
        return kJobDone;
    };
    const LKVBatchConversion conversion{options.rate, uint8_t(options.channels)};
    int32_t result = KVBatchConverter::ProcessFile(source, target, options.commands, prepare, conversion);
    if (notice)
        *notice = encoder.Notice();
    return result;
}

int32_t SaveAudio(const LCutListAudio& audio, const std::string& target, std::string* notice)
{
    EncoderPreparation encoder(target);
    encoder.Prepare(audio);
    LKVSaveToSink::Data save{&audio, target, false};
    const int32_t result = RunJob("Saving", [&](LProgressDialog& d) { return LKVSaveToSink::Process(d, save); });
    if (notice)
        *notice = encoder.Notice();
    return result;
}

bool DescribeFile(const std::string& path, std::string& line) { return LDescribeFile(path, line); }

namespace {

// Where `file` is converted to.
std::string TargetPath(const BatchOptions& options, const std::string& file)
{
    std::string target = options.inPlace ? file : FilePathCat(options.outputDir, GetFileFromPath(file));
    if (!options.format.empty())
        target = ApplyNewFileExtension(target, options.format);
    return LKVBatchTargets::InPlaceTarget(file, target);
}

// Every value a command will run with, its own or the stored one (--set
// included), is checked before any file is converted; false with the message.
bool CommandValuesAreValid(const BatchOptions& options, std::string& message)
{
    for (size_t i = 0; i < options.commands.size(); ++i) {
        const LKVCommand& c = options.commands[i];
        const std::string refused = LKVBatchCatalogue::CheckValues(c, true);
        if (refused.empty())
            continue;
        const LKVCatalogueEntry* e = LKVBatchCatalogue::Find(c.index);
        message = "command " + std::to_string(i + 1) + " (" + (e ? e->name : "?") + "): " + refused +
                  " Nothing was converted.";
        return false;
    }
    return true;
}

// Two sources saved under one name are refused before any file is converted:
// the second would overwrite the first. False with the message.
bool EachOutputHasItsOwnName(const BatchOptions& options, std::string& message)
{
    std::vector<std::string> targets;
    for (const std::string& file : options.files)
        targets.push_back(TargetPath(options, file));
    const std::vector<std::string> clashes = LKVBatchTargets::Clashes(options.files, targets, LConsoleUi::Escaped);
    if (clashes.empty())
        return true;
    message.clear();
    for (const std::string& line : clashes)
        message += line + "\n";
    message += "Nothing was converted: each file needs an output name of its own (convert these files "
                        "in separate runs or into separate folders).";
    return false;
}

// Only --in-place may replace a source. With -o, a target that is one of the
// sources (the same file, however it is spelt: "./", "..", symbolic or hard
// links) is refused before any file is converted; false with the message.
bool OutputsSpareTheSources(const BatchOptions& options, std::string& message)
{
    if (options.inPlace)
        return true;
    struct stat st {};
    std::vector<std::pair<dev_t, ino_t>> sources;
    for (const std::string& file : options.files)
        if (::stat(file.c_str(), &st) == 0)
            sources.emplace_back(st.st_dev, st.st_ino);
    for (size_t i = 0; i < options.files.size(); ++i) {
        const std::string target = TargetPath(options, options.files[i]);
        if (::stat(target.c_str(), &st) != 0)
            continue;
        for (size_t k = 0; k < sources.size(); ++k) {
            if (sources[k] != std::pair{st.st_dev, st.st_ino})
                continue;
            message = options.files[i] + " -> " + target + ": the output would replace the source " +
                      options.files[k] + "; nothing was converted. Choose another -o folder, or use --in-place " +
                      "to replace the sources.";
            return false;
        }
    }
    return true;
}

// Converts `files` one after another with `ui` as the terminal; the exit status.
int ConvertAll(const BatchOptions& options, const std::vector<std::string>& files, BatchUi& ui)
{
    int status = kExitDone;
    for (const std::string& file : files) {
        const std::string target = TargetPath(options, file);
        // Names as printed: a line break or an escape sequence in one stays visible text.
        const std::string shownFile = LConsoleUi::Escaped(file), shownTarget = LConsoleUi::Escaped(target);
        ui.BeginFile();
        std::string notice;
        int32_t result = ConvertFile(file, target, options, &notice);
        if (result != kJobDone && result != kJobCancelled) {
            std::fprintf(stderr, "%s -> %s: failed: %s\n", shownFile.c_str(), shownTarget.c_str(),
                         ui.FailureReason().c_str());
            status = kExitFailed;
            continue;
        }
        ui.ShowHeld();
        // What the file could not keep is said even under -q.
        if (result == kJobDone && !notice.empty())
            std::fprintf(stderr, "%s -> %s: %s\n", shownFile.c_str(), shownTarget.c_str(), notice.c_str());
        if (result != kJobDone || !options.quiet)
            std::fprintf(stderr, "%s -> %s: %s\n", shownFile.c_str(), shownTarget.c_str(), Outcome(result));
        if (result == kJobCancelled) {
            status = kExitCancelled;
            break;
        }
    }
    return status;
}

// The workers of a parallel run, for the run's signal handler. Written only
// while the stop signals are blocked.
constexpr int32_t kMaxWorkers = 64;
static_assert(sizeof(pid_t) <= sizeof(std::sig_atomic_t));
volatile std::sig_atomic_t g_workers[kMaxWorkers];
volatile std::sig_atomic_t g_workerCount = 0;
constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

// A stop signal that reaches the parent alone (SIGTERM from a service manager, a
// SIGHUP) goes on to every worker, which cancels its file and cleans up; Ctrl+C
// reaches the workers from the terminal as well, which changes nothing.
extern "C" void ForwardToWorkers(int signal)
{
    const int saved = errno;
    for (std::sig_atomic_t i = 0; i < g_workerCount; ++i)
        if (g_workers[i] > 0)
            ::kill(pid_t(g_workers[i]), signal);
    errno = saved;
}

// Runs `jobs` worker processes, worker k converting files k, k + jobs, ... Each
// worker has its own cut tank (a private folder made on first use), so the files
// are processed exactly as one process would.
int ConvertInParallel(const BatchOptions& options, int32_t jobs)
{
    jobs = std::min(jobs, kMaxWorkers);
    // Nothing this process holds in its buffers may be written again by a worker.
    std::fflush(nullptr);
    // A stop signal that comes while the workers start waits until every worker
    // started so far is known here and has its own handler; then it reaches them
    // all. Without this, one between fork() and a handler ended the run's
    // process and left the workers converting.
    sigset_t stops, unblocked;
    sigemptyset(&stops);
    for (int signal : kStopSignals)
        sigaddset(&stops, signal);
    sigprocmask(SIG_BLOCK, &stops, &unblocked);
    struct sigaction forward {};
    forward.sa_handler = ForwardToWorkers;
    sigfillset(&forward.sa_mask);
    struct sigaction previous[std::size(kStopSignals)];
    for (size_t i = 0; i < std::size(kStopSignals); ++i)
        sigaction(kStopSignals[i], &forward, &previous[i]);
    g_workerCount = 0;
    const pid_t parent = getpid();
    for (int32_t k = 0; k < jobs; ++k) {
        std::vector<std::string> share;
        for (size_t i = size_t(k); i < options.files.size(); i += size_t(jobs))
            share.push_back(options.files[i]);
        pid_t pid = fork();
        if (pid == 0) {
            g_workerCount = 0;  // a worker passes signals to no one
            BatchUi ui(true);   // its stop signals cancel its file from now on
            // A worker ends with the run, also when the run is killed outright:
            // it is then stopped as by SIGTERM and cleans up.
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            if (getppid() != parent)
                std::raise(SIGTERM);
            sigprocmask(SIG_SETMASK, &unblocked, nullptr);
            const int status = ConvertAll(options, share, ui);
            // _exit skips the static destructors, the tank's among them.
            LAudioCutTank::Get().ReleaseFolder();
            LDecoderFolder::Release();
            std::fflush(nullptr);
            _exit(status);
        }
        if (pid > 0) {
            g_workers[g_workerCount] = pid;
            g_workerCount = g_workerCount + 1;
        }
    }
    const std::sig_atomic_t started = g_workerCount;
    sigprocmask(SIG_SETMASK, &unblocked, nullptr);
    bool cancelled = false, failed = started < jobs;
    for (std::sig_atomic_t i = 0; i < started; ++i) {
        const pid_t pid = pid_t(g_workers[i]);
        // Its number is forgotten before it is reaped, after which it could name
        // another process.
        siginfo_t info {};
        while (waitid(P_PID, id_t(pid), &info, WEXITED | WNOWAIT) < 0 && errno == EINTR) {
        }
        g_workers[i] = 0;
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        int code = WIFEXITED(status) ? WEXITSTATUS(status) : kExitFailed;
        cancelled |= code == kExitCancelled;
        failed |= code != kExitDone && code != kExitCancelled;
    }
    sigprocmask(SIG_BLOCK, &stops, nullptr);
    g_workerCount = 0;
    for (size_t i = 0; i < std::size(kStopSignals); ++i)
        sigaction(kStopSignals[i], &previous[i], nullptr);
    sigprocmask(SIG_SETMASK, &unblocked, nullptr);
    return cancelled ? kExitCancelled : failed ? kExitFailed : kExitDone;
}

void ListCommands()
{
    static const char* const kTypes[] = {"signed 32-bit", "unsigned 16-bit", "signed 8-bit", "unsigned 8-bit",
                                         "point list"};
    for (const LKVCatalogueEntry& e : LKVBatchCatalogue::Entries()) {
        std::vector<int32_t> values = LKVBatchCatalogue::Values(LKVCommand{e.index, {}});
        std::printf("%2u  %s\n", e.index, e.name);
        for (uint8_t f = 0; f < e.fieldCount; ++f) {
            const LKVField& field = e.fields[f];
            if (field.type == LKVFieldType::Curve)
                std::printf("      %s (x,y pairs); without values, the file \"%s\"\n", kTypes[size_t(field.type)],
                            field.name);
            else
                std::printf("      %s (%s): now %d\n", field.name, kTypes[size_t(field.type)],
                            f < values.size() ? values[f] : field.batchDefault);
        }
    }
}

// The run of a generator: its one document made, processed and saved.
int RunGenerator(const BatchOptions& options)
{
    std::string refusal;
    if (!CommandValuesAreValid(options, refusal)) {
        std::fprintf(stderr, "kelvane-batch: %s\n", refusal.c_str());
        return kExitFailed;
    }
    if (!FolderExists(options.outputDir) && !CreateFolders(options.outputDir)) {
        std::fprintf(stderr, "kelvane-batch: cannot create the folder %s\n", options.outputDir.c_str());
        return kExitFailed;
    }
    LRemoveAbandonedTankFolders(GetTempFolder());
    LTempOutput::RemoveAbandoned(GetTempFolder());
    LTempOutput::RemoveAbandoned(options.outputDir);
    const std::string target = FilePathCat(options.outputDir, options.GeneratedName());
    const std::string shown = LConsoleUi::Escaped(target);
    BatchUi ui(options.quiet);
    ui.BeginFile();
    // The save writes under a temporary name and renames when complete.
    std::string notice;
    const int32_t result = GenerateFile(target, options, &notice);
    if (result != kJobDone && result != kJobCancelled) {
        std::fprintf(stderr, "%s: failed: %s\n", shown.c_str(), ui.FailureReason().c_str());
        return kExitFailed;
    }
    ui.ShowHeld();
    if (result == kJobDone && !notice.empty())
        std::fprintf(stderr, "%s: %s\n", shown.c_str(), notice.c_str());
    if (result != kJobDone || !options.quiet)
        std::fprintf(stderr, "%s: %s\n", shown.c_str(), Outcome(result));
    return result == kJobDone ? kExitDone : kExitCancelled;
}

} // namespace

int RunBatch(const BatchOptions& options)
{
    for (const BatchOptions::Setting& s : options.settings)
        LSettings::SetOverride(s.section, s.name, s.value);
    if (options.listCommands) {
        ListCommands();
        return kExitDone;
    }
    if (!options.saveScript.empty()) {
        if (!LKVScriptFile::Write(options.saveScript, options.commands)) {
            std::fprintf(stderr, "kelvane-batch: %s (%s)\n", LKVScriptFile::kCannotOpenMessage, options.saveScript.c_str());
            return kExitFailed;
        }
        if (options.files.empty())
            return kExitDone;
    }
    if (options.generator != BatchOptions::Generator::None)
        return RunGenerator(options);
    if (options.info) {
        int status = kExitDone;
        for (const std::string& file : options.files) {
            std::string line;
            if (!DescribeFile(file, line)) {
                std::fprintf(stderr, "%s\n", line.c_str());
                status = kExitFailed;
                continue;
            }
            if (options.loudness) {
                LLoudnessResult loudness{};
                std::string why;
                if (!LEfLoudnessScan::MeasureFile(file, loudness, why)) {
                    std::fprintf(stderr, "%s\n", LConsoleUi::Escaped(why).c_str());
                    status = kExitFailed;
                    continue;
                }
                line += ", " + LEfLoudnessScan::Summary(loudness);
            }
            std::printf("%s\n", line.c_str());
        }
        return status;
    }
    std::string refusal;
    if (!CommandValuesAreValid(options, refusal) || !OutputsSpareTheSources(options, refusal) ||
        !EachOutputHasItsOwnName(options, refusal)) {
        std::fprintf(stderr, "kelvane-batch: %s\n", refusal.c_str());
        return kExitFailed;
    }
    if (!options.outputDir.empty() && !FolderExists(options.outputDir) && !CreateFolders(options.outputDir)) {
        std::fprintf(stderr, "kelvane-batch: cannot create the folder %s\n", options.outputDir.c_str());
        return kExitFailed;
    }
    // A run that streams makes no tank, so the folders earlier runs left behind
    // are cleared here rather than when a tank is first used; so are the partial
    // outputs and encoder logs of runs killed outright.
    LRemoveAbandonedTankFolders(GetTempFolder());
    LTempOutput::RemoveAbandoned(GetTempFolder());
    if (!options.outputDir.empty())
        LTempOutput::RemoveAbandoned(options.outputDir);
    const int32_t jobs = std::min<int32_t>(options.jobs, int32_t(options.files.size()));
    if (jobs > 1)
        return ConvertInParallel(options, jobs);
    BatchUi ui(options.quiet);
    return ConvertAll(options, options.files, ui);
}
