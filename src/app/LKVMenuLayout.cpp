#include "app/LKVMenuLayout.h"

#include "app/LKVCommands.h"
#include "app/MainDialog.h"

namespace {

using Kind = LKVMenuEntry::Kind;

LKVMenuEntry C(int32_t id) { return {Kind::Command, id, nullptr, {}}; }
LKVMenuEntry Sep() { return {Kind::Separator, 0, nullptr, {}}; }
LKVMenuEntry Sub(const char* text, std::vector<LKVMenuEntry> entries)
{
    return {Kind::Submenu, 0, text, std::move(entries)};
}

std::vector<LKVMenuEntry> EditEntries()
{
    return {
        C(kCmUndo), C(kCmRedo), Sep(),
        C(kCmCut), C(kCmCopy), C(kCmPaste), C(kCmPasteFromClipboard), C(kCmPasteMix), C(kCmPasteMixFromClipboard),
        C(kCmDelete), Sep(),
        C(kCmSelectAll), C(kCmSelectToStart), C(kCmSelectToEnd), C(kCmSelectRegion), Sep(),
        C(kCmMixFile), C(kCmRepeatLoop), Sep(),
        C(kCmTrim), C(kCmTrimStart), C(kCmTrimEnd), C(kCmAutoTrim), Sep(),
        C(kCmSilenceSelection),
        Sub("Insert Silence...", {C(kCmInsertSilenceBegin), C(kCmInsertSilenceCurrent), C(kCmInsertSilenceEnd)}),
        Sub("Insert File...", {C(kCmInsertFileBegin), C(kCmInsertFileCurrent), C(kCmInsertFileEnd)}),
        C(kCmCopyToNew),
    };
}

std::vector<LKVMenuEntry> EffectEntries()
{
    return {
        C(kCmAmplify), C(kCmNormalize), C(kCmNormalizeLoudness), C(kCmFadeIn), C(kCmFadeOut), C(kCmFadeOutAndTrim), C(kCmEnvelope), Sep(),
        C(kCmEqualizer), C(kCmHighPassFilter), C(kCmEcho), C(kCmReverb), Sep(),
        C(kCmDynamicRangeCompressor), C(kCmNoiseReduction), C(kCmAutomaticGainControl), Sep(),
        C(kCmSimpleSpeedPitch), C(kCmConstantPitchSpeed), C(kCmConstantSpeedPitch), Sep(),
        C(kCmDCOffsetCorrection), C(kCmReverse),
    };
}

std::vector<LKVMenu> Build()
{
    return {
        {"&File",
         {C(kCmNewFile), C(kCmOpenFile), C(kCmLoadCDTracks), C(kCmCloseFile), Sep(),
          C(kCmSaveFile), C(kCmSaveFileAs), Sub("Copy File(s) to CD...", {C(kCmCopyFilesToAudioCD), C(kCmCopyFilesToDataCD)}),
          C(kCmSendFile), Sep(),
          C(kCmOpenProject), C(kCmCloseProject), C(kCmSaveProject), C(kCmSaveProjectAs), Sep(),
          C(kCmConvertSampleRate), Sub("Convert Channels", {C(kCmConvertMono), C(kCmConvertStereo)}), Sep(),
          C(kCmSettings), Sep(),
          {Kind::RecentFiles, 0, nullptr, {}},
          C(kCmExit)}},
        {"&Edit", EditEntries()},
        {"Effec&ts", EffectEntries()},
        {"&Control",
         {C(kCmRecord), C(kCmPlay), C(kCmPlayNormal), C(kCmPlaySlow), C(kCmPlayFast), C(kCmStop), Sep(),
          C(kCmGoToStart), C(kCmRewind), C(kCmFastForward), C(kCmGoToEnd), Sep(), C(kCmPlayer)}},
        {"&Tool",
         {C(kCmFrequencyAnalysis), C(kCmLoudness), C(kCmToneGenerator), C(kCmTextToSpeech), C(kCmBatchConverter), Sep(),
          {Kind::KeyMacros, 0, nullptr, {}}}},
        {"&Bookmark",
         {C(kCmSetBookmark), C(kCmOpenBookmarkList), Sep(), C(kCmAddRegion), C(kCmOpenRegionList),
          C(kCmAssembleRegions)}},
        {"&Window",
         {C(kCmCascade), C(kCmTileHorizontal), C(kCmTileVertical), C(kCmArrangeIcons), Sep(),
          C(kCmZoomIn), C(kCmZoomOut), C(kCmZoomToSelection), C(kCmZoomFull), C(kCmVerticalZoom), Sep(),
          C(kCmDisplayPlusMinus), C(kCmDisplayLeftRight), C(kCmDisplayLanes), C(kCmDisplaySpectrogram),
          C(kCmSpectrogramOptions), Sep(),
          C(kCmCloseAll),
          {Kind::WindowList, 0, nullptr, {}}}},
        {"&Help", {C(kCmHelpContents), Sep(), C(kCmAbout)}},
    };
}

std::string Plain(const char* text)
{
    std::string t;
    for (const char* c = text; *c; ++c)
        if (*c != '&')
            t += *c;
    while (!t.empty() && (t.back() == '.' || t.back() == ' '))
        t.pop_back();
    return t;
}

bool FindSubmenu(const std::vector<LKVMenuEntry>& entries, int32_t id, const char* submenu, std::string& out)
{
    for (const LKVMenuEntry& e : entries) {
        if (e.kind == Kind::Command && e.id == id) {
            out = submenu ? Plain(submenu) + ": " : std::string();
            return true;
        }
        if (e.kind == Kind::Submenu && FindSubmenu(e.entries, id, e.text, out))
            return true;
    }
    return false;
}

} // namespace

std::string LKVCommandName(int32_t id)
{
    if (id >= kCmRecentFile1 && id <= kCmRecentFile11)
        return "Recent File " + std::to_string(id - kCmRecentFile1 + 1);
    const LKVCommandInfo* info = LKVFindCommand(id);
    if (!info)
        return "Command " + std::to_string(id);
    std::string prefix;
    for (const LKVMenu& m : LKVMenuBar())
        if (FindSubmenu(m.entries, id, nullptr, prefix))
            break;
    return prefix + Plain(info->menuText);
}

const std::vector<LKVMenu>& LKVMenuBar()
{
    static const std::vector<LKVMenu> menus = Build();
    return menus;
}

const std::vector<LKVMenuEntry>& LKVDocumentContextMenu()
{
    static const std::vector<LKVMenuEntry> entries = [] {
        std::vector<LKVMenuEntry> e = EditEntries();
        e.push_back(Sep());
        e.push_back(Sub("Effec&ts", EffectEntries()));
        e.push_back(Sep());
        e.push_back(C(kCmSetBookmark));
        e.push_back(C(kCmAddRegion));
        return e;
    }();
    return entries;
}
