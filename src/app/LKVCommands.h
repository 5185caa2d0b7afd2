#pragma once
#include <cstdint>
#include <vector>

// Command identifiers of the main window. Key-macro files store them, so the
// values are fixed. (Undo and the conversions are declared with MainDialog.)
enum : int32_t {
    kCmNewFile = 1001,
    kCmOpenFile = 1002,
    kCmCloseFile = 1003,
    kCmSaveFile = 1004,
    kCmSaveFileAs = 1005,
    kCmSendFile = 1009,
    kCmSettings = 1010,
    kCmLoadCDTracks = 1011,
    kCmCopyFilesToAudioCD = 1012,
    kCmOpenProject = 1013,
    kCmCloseProject = 1014,
    kCmSaveProject = 1015,
    kCmSaveProjectAs = 1016,
    kCmCopyFilesToDataCD = 1018,
    kCmExit = 1048,
    kCmRecentFile1 = 1050,  // to 1060, one per recent-file slot
    kCmRecentFile11 = 1060,

    kCmCut = 2002,
    kCmCopy = 2003,
    kCmPaste = 2004,
    kCmPasteMix = 2005,
    kCmDelete = 2006,
    kCmSelectAll = 2007,
    kCmMixFile = 2008,
    kCmRepeatLoop = 2009,
    kCmTrim = 2010,
    kCmTrimStart = 2011,
    kCmTrimEnd = 2012,
    kCmAutoTrim = 2013,
    kCmSilenceSelection = 2014,
    kCmInsertSilenceBegin = 2015,
    kCmInsertSilenceCurrent = 2016,
    kCmInsertSilenceEnd = 2017,
    kCmInsertFileBegin = 2018,
    kCmInsertFileCurrent = 2019,
    kCmInsertFileEnd = 2020,
    kCmCopyToNew = 2021,
    kCmSelectToStart = 2022,
    kCmSelectToEnd = 2023,
    kCmPasteFromClipboard = 2025,
    kCmPasteMixFromClipboard = 2026,
    kCmSelectRegion = 2027,

    kCmRecord = 3001,
    kCmPlay = 3002,
    kCmPlaySlow = 3003,
    kCmPlayNormal = 3004,
    kCmPlayFast = 3005,
    kCmStop = 3006,
    kCmGoToStart = 3007,
    kCmRewind = 3008,
    kCmFastForward = 3009,
    kCmGoToEnd = 3010,
    kCmPlayer = 3011,  // the transport dialog over the open documents

    kCmAmplify = 4001,
    kCmNormalize = 4002,
    kCmEqualizer = 4003,
    kCmEcho = 4004,
    kCmReverb = 4005,
    kCmFadeIn = 4006,
    kCmFadeOut = 4007,
    kCmEnvelope = 4008,
    kCmAutomaticGainControl = 4009,
    kCmNoiseReduction = 4010,
    kCmHighPassFilter = 4011,
    kCmDynamicRangeCompressor = 4012,
    kCmFadeOutAndTrim = 4013,
    kCmSimpleSpeedPitch = 4014,
    kCmConstantPitchSpeed = 4015,
    kCmConstantSpeedPitch = 4016,
    kCmDCOffsetCorrection = 4017,
    kCmReverse = 4018,
    // Added after the numbered effects: the first free number.
    kCmNormalizeLoudness = 4019,

    kCmZoomIn = 5001,
    kCmZoomOut = 5002,
    kCmZoomToSelection = 5003,
    kCmZoomFull = 5004,
    kCmVerticalZoom = 5005,
    kCmDisplayPlusMinus = 5007,
    kCmDisplayLeftRight = 5008,
    kCmCascade = 5009,
    kCmTileHorizontal = 5010,
    kCmTileVertical = 5011,
    kCmArrangeIcons = 5012,
    // Stereo lanes came after the numbered display commands: the first free number.
    kCmDisplayLanes = 5013,
    kCmDisplaySpectrogram = 5014,
    kCmSpectrogramOptions = 5015,
    kCmCloseAll = 5040,

    kCmHelpContents = 6000,
    kCmAbout = 6013,

    kCmFrequencyAnalysis = 7001,
    kCmToneGenerator = 7002,
    kCmBatchConverter = 7003,
    kCmTextToSpeech = 7004,
    kCmLoudness = 7005,

    kCmOpenRegionList = 8000,
    kCmSetBookmark = 8001,
    kCmOpenBookmarkList = 8003,
    kCmAddRegion = 8004,
    kCmAssembleRegions = 8005,
};

// A menu command as the frame shows it: its menu text, its shortcut (empty for
// none) and the help text the status bar shows while it is highlighted.
struct LKVCommandInfo {
    int32_t id;
    const char* menuText;
    const char* shortcut;
    const char* help;
};

// A key that runs a command beside the shortcut the menu shows: the keys users
// of other editors reach for. `stopsWhilePlaying`: the key stops playback
// instead while the player is busy (Space plays and stops).
struct LKVExtraKey {
    int32_t id;
    const char* key;  // as a shortcut is written ("Space", "Del", "Ctrl+Shift+Z")
    bool stopsWhilePlaying;
};
const std::vector<LKVExtraKey>& LKVExtraKeys();

// Every menu command, in menu order. The recent-file commands are listed by
// LRecentFiles, which knows their texts.
const std::vector<LKVCommandInfo>& LKVCommandTable();
// The command's row, or nullptr.
const LKVCommandInfo* LKVFindCommand(int32_t id);
// Whether the command is disabled while no document is open (with its toolbar
// button, if any).
bool LKVCommandNeedsDocument(int32_t id);
