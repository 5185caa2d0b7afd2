// The edit effect commands: trims, silence, repeat, DC offset, reverse and the mixes.
#include <algorithm>
#include <string>
#include <vector>

#include <unistd.h>

#include "app/LSettingsTable.h"
#include "app/MainDialog.h"
#include "app/MainDialogShared.h"
#include "core/LFile.h"
#include "core/LProgressDialog.h"
#include "core/LSettings.h"
#include "core/LUi.h"
#include "effects/LDCOffsetCorrection.h"
#include "effects/LEfArith.h"
#include "effects/LEfAutoTrim.h"
#include "effects/LEfDialogChecks.h"
#include "effects/LEfMixPaste.h"
#include "effects/LEfReverse.h"
#include "effects/LEfStoredValues.h"
#include "formats/KVLoadFile.h"

namespace {

// A repeat adds every cut of the selection once per repeat; beyond this many
// the cut list (and each undo level's copy of it) would no longer be cheap.
constexpr int64_t kMaxRepeatCuts = int64_t(1) << 20;

} // namespace

int32_t MainDialog::CmTrim()
{
    if (!current_ || !current_->HasSelection())
        return kEffectNotRun;
    LKVFile& doc = *current_;
    StartModifyCurrentFile("Trim");
    doc.audio.EfTrim(doc.pos.selStart, doc.pos.selEnd);
    doc.pos.selStart = doc.pos.selEnd = 0;
    if (view_)
        view_->ShowWholeDocument(doc);
    EndModifyCurrentFile(0, 0);
    return kJobDone;
}

int32_t MainDialog::CmTrimStart()
{
    if (!current_)
        return kEffectNotRun;
    LKVFile& doc = *current_;
    StartModifyCurrentFile("Trim Start");
    doc.audio.EfDeleteBefore(doc.pos.selStart);
    doc.pos.selStart = doc.pos.selEnd = 0;
    if (view_)
        view_->ShowWholeDocument(doc);
    EndModifyCurrentFile(0, 0);
    return kJobDone;
}

int32_t MainDialog::CmTrimEnd()
{
    if (!current_)
        return kEffectNotRun;
    LKVFile& doc = *current_;
    StartModifyCurrentFile("Trim End");
    doc.audio.EfDeleteAfter(doc.pos.selEnd);
    doc.pos.selStart = doc.pos.selEnd = 0;
    if (view_)
        view_->ShowWholeDocument(doc);
    EndModifyCurrentFile(0, 0);
    return kJobDone;
}

int32_t MainDialog::CmAutoTrim()
{
    if (!current_)
        return kEffectNotRun;
    LKVFile& doc = *current_;
    StartModifyCurrentFile("Auto Trim");
    LEfAutoTrim::Data data{&doc.audio, LEfStored::kAutoTrimThreshold.Read()};
    const int32_t result = RunJob("Auto Trim", [&](LProgressDialog& d) { return LEfAutoTrim::Process(d, data); });
    if (result != kJobDone)
        return result;
    doc.pos.selStart = doc.pos.selEnd = 0;
    if (view_)
        view_->ShowWholeDocument(doc);
    EndModifyCurrentFile(0, 0);
    return result;
}

int32_t MainDialog::CmEditSilence()
{
    if (!current_ || !current_->HasSelection())
        return kEffectNotRun;
    LKVFile& doc = *current_;
    StartModifyCurrentFile("Edit Silence");
    doc.audio.EfSilence(doc.pos.selStart, doc.pos.selEnd);
    EndModifyCurrentFile(doc.pos.selStart, LKVOneSecond(doc));
    return kJobDone;
}

int32_t MainDialog::CmInsertSilence(SilenceAt where)
{
    if (!current_)
        return kEffectNotRun;
    StopPlayback();
    const char* name = where == SilenceAt::Start             ? "Insert Silence At The Start"
                       : where == SilenceAt::CurrentPosition ? "Insert Silence At Current Position"
                                                             : "Insert Silence At The End";
    int32_t ms = LEfStored::kSilenceTimes.Read();
    if (!LUiGet().SilenceDialog(name, ms))
        return kEffectNotRun;
    LEfStored::kSilenceTimes.Write(ms);
    LKVFile& doc = *current_;
    const int32_t length = doc.audio.GetLength();
    // A negative time inserts nothing, and no document grows past the largest
    // frame position.
    const int32_t frames =
        int32_t(std::clamp<int64_t>(EfMsToFrames(ms, doc.audio.sampleRate), 0, int64_t(INT32_MAX) - length));
    if (frames <= 0)
        return kEffectNotRun;
    const int32_t at = where == SilenceAt::Start ? 0
                       : where == SilenceAt::End ? length
                                                 : std::clamp(doc.pos.cursor, 0, length);
    StartModifyCurrentFile(name);
    doc.audio.EfInsertSilence(at, frames);
    doc.pos.selStart = at;
    doc.pos.selEnd = at + frames;
    EndModifyCurrentFile(at, LKVOneSecond(doc));
    return kJobDone;
}

int32_t MainDialog::CmRepeatLoop()
{
    if (!current_ || !current_->HasSelection())
        return kEffectNotRun;
    StopPlayback();
    LKVFile& doc = *current_;
    LCutListAudio part;
    doc.audio.EfCopy(doc.pos.selStart, doc.pos.selEnd, part);
    const int64_t length = doc.audio.GetLength();
    const int64_t frames = part.GetLength();
    const int64_t cuts = std::max<int64_t>(int64_t(part.Cuts().size()), 1);
    int32_t times = LEfStored::kRepeatNumTimes.Read();
    const auto check = [&]() -> std::string {
        const bool tooLong = int64_t(times) * frames > int64_t(INT32_MAX) - length;
        if (times > 0 && (tooLong || int64_t(times) * cuts > kMaxRepeatCuts))
            return "Repeat number of times is too large for this selection. Please try again.";
        return {};
    };
    if (!LKVAskChecked([&] { return LUiGet().RepeatDialog(times); }, check))
        return kEffectNotRun;
    LEfStored::kRepeatNumTimes.Write(times);
    if (times <= 0)
        return kEffectNotRun;
    // The copies are gathered into one list and inserted once: inserting them
    // one at a time would move every earlier copy again at each insertion.
    LCutListAudio repeated;
    repeated.sampleRate = part.sampleRate;
    repeated.channels = part.channels;
    for (int32_t n = 0; n < times; ++n)
        for (const LCut& cut : part.Cuts())
            repeated.Add(cut);
    StartModifyCurrentFile("Repeat Loop");
    doc.audio.EfInsert(doc.pos.selStart, repeated);
    EndModifyCurrentFile(doc.pos.selStart, LKVOneSecond(doc));
    return kJobDone;
}

int32_t MainDialog::CmDCOffsetCorrection()
{
    if (!current_ || !current_->HasSelection())
        return kEffectNotRun;
    LKVFile& doc = *current_;
    StartModifyCurrentFile("DC Offset Correction");
    LDCOffsetCorrection::Data data{&doc.audio, doc.pos.selStart, doc.pos.selEnd, {}};
    const int32_t result = RunJob("DC Offset Correction",
                                  [&](LProgressDialog& d) { return LDCOffsetCorrection::Process(d, data); });
    if (result == kJobDone)
        EndModifyCurrentFile(doc.pos.selStart, LKVOneSecond(doc));
    return result;
}

int32_t MainDialog::CmReverse()
{
    if (!current_ || !current_->HasSelection())
        return kEffectNotRun;
    LKVFile& doc = *current_;
    StartModifyCurrentFile("Reverse");
    LEfReverse::Data data{&doc.audio, doc.pos.selStart, doc.pos.selEnd};
    const int32_t result = RunJob("Reverse", [&](LProgressDialog& d) { return LEfReverse::Process(d, data); });
    if (result == kJobDone)
        EndModifyCurrentFile(doc.pos.selStart, LKVOneSecond(doc));
    return result;
}

namespace {

// The mix dialog on the stored values; true on OK with them checked and stored.
bool AskMix(const std::string& caption, const LKVFile& doc, LUiMixValues& values)
{
    values.volume = LEfStored::kPasteMixVolume.Read();
    values.mode = LEfStored::kLongerSelection.Read();
    values.fadeOutTime = LEfStored::kFadeOutTime.Read();
    values.pan = 50;
    values.stereo = doc.audio.channels == 2;
    values.hasAudio = doc.audio.GetLength() > 0;
    if (!values.hasAudio)
        values.mode = LEfMixPaste::kExtendSelection;
    if (!LKVAskChecked([&] { return LUiGet().PasteMixDialog(caption, values); },
                    [&] { return CheckPasteMixVolume(values.volume); }))
        return false;
    if (!values.stereo)
        values.pan = 50;
    LEfStored::kPasteMixVolume.Write(values.volume);
    LEfStored::kLongerSelection.Write(values.mode);
    if (values.mode == LEfMixPaste::kFadeMixOut)
        LEfStored::kFadeOutTime.Write(values.fadeOutTime);
    return true;
}

} // namespace

int32_t MainDialog::RunMix(const std::string& name, const LCutListAudio& mix, const LUiMixValues& values)
{
    LKVFile& doc = *current_;
    if (doc.pos.selEnd < doc.pos.selStart)
        return kEffectNotRun;
    StartModifyCurrentFile(name);
    LEfMixPaste::Data data{&doc.audio, doc.pos.selStart, doc.pos.selEnd, &mix, values.volume,
                           values.mode, values.fadeOutTime, values.pan};
    const int32_t result = RunJob(name, [&](LProgressDialog& d) { return LEfMixPaste::Process(d, data); });
    if (result != kJobDone)
        return result;
    doc.pos.selEnd = LEfMixPaste::SelectionEnd(doc.pos.selStart, mix, doc.audio.sampleRate);
    EndModifyCurrentFile(doc.pos.selStart, LKVHalfSecond(doc));
    return result;
}

int32_t MainDialog::CmPasteMix()
{
    if (!current_ || clipboard_.GetLength() <= 0)
        return kEffectNotRun;
    StopPlayback();
    LUiMixValues values;
    if (!AskMix("Paste Mix", *current_, values))
        return kEffectNotRun;
    const LCutListAudio mix = clipboard_;
    return RunMix("Paste Mix", mix, values);
}

int32_t MainDialog::CmPasteMixFromClipboard()
{
    if (!current_)
        return kEffectNotRun;
    StopPlayback();
    std::vector<uint8_t> bytes;
    LKVClipboardPort& port = clipboardPort_ ? *clipboardPort_ : localClipboard_;
    if (!port.GetWave(bytes))
        return kEffectNotRun;
    LUiMixValues values;
    if (!AskMix("Paste Mix", *current_, values))
        return kEffectNotRun;
    // The wave data is loaded through a temporary WAV file like any other file.
    std::string path = FilePathCat(GetTempFolder(), "kelvane-mix-XXXXXX.wav");
    const int fd = mkstemps(path.data(), 4);
    if (fd < 0 || WriteAll(fd, bytes.data(), int32_t(bytes.size())) != int32_t(bytes.size())) {
        if (fd >= 0) {
            close(fd);
            unlink(path.c_str());
        }
        LUiGet().Message("Kelvane could not read the clipboard.", kErrorCaption, LUiButtons::Ok, LUiIcon::Exclamation);
        return kJobFailed;
    }
    close(fd);
    LCutListAudio mix;
    uint8_t askOnce = 1;
    KVLoadFile::Data load{path, &mix, &askOnce};
    const int32_t loaded =
        RunJob("Loading Audio File Source", [&](LProgressDialog& d) { return KVLoadFile::Process(d, load); });
    unlink(path.c_str());
    if (loaded != kJobDone)
        return loaded;
    if (mix.GetLength() <= 0)
        return kEffectNotRun;
    return RunMix("Paste Mix", mix, values);
}

int32_t MainDialog::CmMixFile()
{
    if (!current_)
        return kEffectNotRun;
    StopPlayback();
    std::string path;
    if (!AskFileName(LUiFileRequest{"Mix File", {}, {}, LKVAudioFileFilters(), false, {}}, LKVSettings::kMixFileDir,
                     path))
        return kEffectNotRun;
    LUiMixValues values;
    if (!AskMix("Mix File", *current_, values))
        return kEffectNotRun;
    LCutListAudio mix;
    uint8_t askOnce = 1;
    KVLoadFile::Data load{path, &mix, &askOnce};
    const int32_t loaded =
        RunJob("Loading Audio File Source", [&](LProgressDialog& d) { return KVLoadFile::Process(d, load); });
    if (loaded != kJobDone)
        return loaded;
    return RunMix("Mix File", mix, values);
}
