// Commands by identifier, their enabled state, key macros and the command line.
#include <strings.h>

#include "app/LKVCommands.h"
#include "app/LRecentFiles.h"
#include "app/MainDialog.h"
#include "app/MainDialogShared.h"
#include "core/LFile.h"

bool MainDialog::IsCommandEnabled(int32_t id) const
{
    if (LKVCommandNeedsDocument(id) && !current_)
        return false;
    if (id == kCmSaveFile)
        return current_->modified;
    if (id == kCmUndo)
        return undoItem_.enabled;
    if (id == kCmRedo)
        return redoItem_.enabled;
    if (id >= kCmRecentFile1 && id <= kCmRecentFile11)
        return !LRecentFiles::PathOf(id).empty();
    return true;
}

bool MainDialog::ExecuteCommand(int32_t id)
{
    if (id >= kCmRecentFile1 && id <= kCmRecentFile11) {
        CmOpenRecent(id);
        return true;
    }
    // A command that needs a document does nothing without one.
    if (LKVCommandNeedsDocument(id) && !current_)
        return true;
    switch (id) {
    case kCmNewFile: CmNewFile(); break;
    case kCmOpenFile: CmOpen(); break;
    case kCmCloseFile: CmClose(); break;
    case kCmSaveFile: CmSave(); break;
    case kCmSaveFileAs: CmSaveAs(); break;
    case kCmOpenProject: CmOpenProject(); break;
    case kCmCloseProject: CmCloseProject(); break;
    case kCmSaveProject: CmSaveProject(); break;
    case kCmSaveProjectAs: CmSaveProjectAs(); break;
    case kCmConvertMono: CmConvertMono(); break;
    case kCmConvertStereo: CmConvertStereo(); break;
    case kCmCloseAll: CmCloseAll(); break;

    case kCmUndo: CmUndo(); break;
    case kCmRedo: CmRedo(); break;
    case kCmCut: CmCut(); break;
    case kCmCopy: CmCopy(); break;
    case kCmPaste: CmPaste(); break;
    case kCmPasteFromClipboard: CmPasteFromClipboard(); break;
    case kCmDelete: CmDelete(); break;
    case kCmSelectAll: CmSelectAll(); break;
    case kCmSelectToStart: CmSelectToStart(); break;
    case kCmSelectToEnd: CmSelectToEnd(); break;
    case kCmSelectRegion: CmSelectRegion(); break;
    case kCmInsertFileBegin: CmInsertFile(LKVInsertAt::Begin); break;
    case kCmInsertFileCurrent: CmInsertFile(LKVInsertAt::Current); break;
    case kCmInsertFileEnd: CmInsertFile(LKVInsertAt::End); break;
    case kCmCopyToNew: CmCopyToNew(); break;

    case kCmAmplify: CmAmplify(); break;
    case kCmNormalize: CmNormalize(); break;
    case kCmNormalizeLoudness: CmNormalizeLoudness(); break;
    case kCmFadeIn: CmFadeIn(); break;
    case kCmFadeOut: CmFadeOut(); break;
    case kCmEnvelope: CmEnvelope(); break;
    case kCmFadeOutAndTrim: CmFadeOutAndTrim(); break;
    case kCmSimpleSpeedPitch: CmSpeedChange(0); break;
    case kCmConstantPitchSpeed: CmSpeedChange(1); break;
    case kCmConstantSpeedPitch: CmSpeedChange(2); break;
    case kCmEcho: CmEcho(); break;
    case kCmReverb: CmReverb(); break;
    case kCmHighPassFilter: CmHighPassFilter(); break;
    case kCmEqualizer: CmEqualizer(); break;
    case kCmDynamicRangeCompressor: CmCompressor(); break;
    case kCmNoiseReduction: CmNoiseReduction(); break;
    case kCmAutomaticGainControl: CmAutomaticGainControl(); break;
    case kCmDCOffsetCorrection: CmDCOffsetCorrection(); break;
    case kCmReverse: CmReverse(); break;
    case kCmTrim: CmTrim(); break;
    case kCmTrimStart: CmTrimStart(); break;
    case kCmTrimEnd: CmTrimEnd(); break;
    case kCmAutoTrim: CmAutoTrim(); break;
    case kCmSilenceSelection: CmEditSilence(); break;
    case kCmInsertSilenceBegin: CmInsertSilence(SilenceAt::Start); break;
    case kCmInsertSilenceCurrent: CmInsertSilence(SilenceAt::CurrentPosition); break;
    case kCmInsertSilenceEnd: CmInsertSilence(SilenceAt::End); break;
    case kCmRepeatLoop: CmRepeatLoop(); break;
    case kCmPasteMix: CmPasteMix(); break;
    case kCmPasteMixFromClipboard: CmPasteMixFromClipboard(); break;
    case kCmMixFile: CmMixFile(); break;

    case kCmRecord: CmRecord(); break;
    case kCmPlay: CmPlay(); break;
    case kCmPlaySlow: CmPlaySpeed(0); break;
    case kCmPlayNormal: CmPlaySpeed(1); break;
    case kCmPlayFast: CmPlaySpeed(2); break;
    case kCmStop: CmStop(); break;
    case kCmGoToStart: CmGoToStart(); break;
    case kCmGoToEnd: CmGoToEnd(); break;
    // From a menu or a key the scans are a press and a release at once: one step.
    case kCmRewind:
        ScanPressed(LKVScan::Rewind);
        ScanReleased(LKVScan::Rewind);
        break;
    case kCmFastForward:
        ScanPressed(LKVScan::Forward);
        ScanReleased(LKVScan::Forward);
        break;

    case kCmToneGenerator: CmToneGenerator(); break;
    case kCmLoudness: CmLoudness(); break;
    case kCmTextToSpeech: CmTextToSpeech(); break;
    case kCmSendFile: CmSendFile(); break;

    case kCmSetBookmark: CmSetBookmark(); break;
    case kCmAddRegion: CmAddRegion(); break;
    case kCmAssembleRegions: CmAssembleRegions(); break;
    default: return false;
    }
    return true;
}

bool MainDialog::OnKey(uint32_t key)
{
    const LKeyMacro* macro = keyMacros_.Find(key);
    if (!macro)
        return false;
    // A command may change the macros (a macro editor opened by one), so run a copy.
    const std::vector<int32_t> commands = macro->commands;
    for (int32_t id : commands)
        if (!ExecuteCommand(id) && view_)
            view_->FrameCommand(id);
    return true;
}

void MainDialog::OnExtraKey(const LKVExtraKey& key)
{
    if (key.stopsWhilePlaying && (PlayerState() & LPlayerPort::kActive) != 0) {
        CmStop();
        return;
    }
    ExecuteCommand(key.id);
}

bool MainDialog::LoadKeyMacros()
{
    const LKeyMacros::Result r = keyMacros_.Load(LKeyMacros::FilePath());
    if (r == LKeyMacros::Result::Corrupt)
        LUiGet().Message(LKeyMacros::kVersionMessage, "File Error", LUiButtons::Ok, LUiIcon::Exclamation);
    return r == LKeyMacros::Result::Ok || r == LKeyMacros::Result::Missing;
}

bool MainDialog::SaveKeyMacros()
{
    switch (keyMacros_.Save(LKeyMacros::FilePath())) {
    case LKeyMacros::Result::Ok: return true;
    case LKeyMacros::Result::TooManyCommands:
        LUiGet().Message("A key macro can hold at most 255 commands. The key macros were not saved.", kErrorCaption,
                         LUiButtons::Ok, LUiIcon::Exclamation);
        return false;
    default:
        LUiGet().Message(LKeyMacros::kWriteMessage, kErrorCaption, LUiButtons::Ok, LUiIcon::Exclamation);
        return false;
    }
}

LKVStartAction MainDialog::RunCommandLine(const std::vector<std::string>& args)
{
    const LKVStartAction action = LKVFirstInstanceAction(args);
    switch (action.kind) {
    case LKVStartAction::Kind::OpenFile: OpenFile(action.path); break;
    case LKVStartAction::Kind::OpenProject: LoadProject(action.path); break;
    case LKVStartAction::Kind::AddToBatch:
        batchFiles_.push_back(action.path);
        if (view_)
            view_->BatchConverterRequested();
        break;
    default: break;
    }
    return action;
}

void MainDialog::OnInstanceMessage(int32_t message, const std::string& argument)
{
    if (argument.empty())
        return;
    if (message == kLKVMsgOpenFile) {
        StopPlayback();
        // A project handed over by a second instance opens as a project, as it
        // would have on a first instance's command line.
        if (strcasecmp(GetFileExtension(argument).c_str(), ".kvp") == 0)
            LoadProject(argument);
        else
            OpenFile(argument);
    } else if (message == kLKVMsgAddToBatch) {
        batchFiles_.push_back(argument);
        if (view_)
            view_->BatchConverterRequested();
    }
}
