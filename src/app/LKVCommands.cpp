#include "app/LKVCommands.h"

#include "app/MainDialog.h"

namespace {

const std::vector<LKVCommandInfo> kTable = {
    {kCmNewFile, "&New File...", "Ctrl+N", "Creates a new audio file."},
    {kCmOpenFile, "&Open File...", "Ctrl+O", "Opens an existing file."},
    {kCmLoadCDTracks, "&Load Audio CD Track(s)...", "Ctrl+L", "Load audio track(s) from CDs."},
    {kCmCloseFile, "Close File", "", "Closes the current file."},
    {kCmSaveFile, "&Save File", "Ctrl+S", "Saves the current file."},
    {kCmSaveFileAs, "Save File &As...", "", "Saves the current file with a new name or format."},
    {kCmCopyFilesToAudioCD, "Audio", "", ""},
    {kCmCopyFilesToDataCD, "Data", "", ""},
    {kCmSendFile, "Send...", "", "Sends the file by email."},
    {kCmOpenProject, "Open Project...", "", "Opens a Kelvane project."},
    {kCmCloseProject, "Close Project", "", "Closes the current project."},
    {kCmSaveProject, "Save Project", "", "Saves the current project."},
    {kCmSaveProjectAs, "Save Project As...", "", "Saves the current project with a new name."},
    {kCmConvertSampleRate, "Convert Sample Rate", "", "Converts the sample rate of the current file."},
    {kCmConvertMono, "Mono", "", "Converts current file to mono."},
    {kCmConvertStereo, "Stereo", "", "Converts current file to stereo."},
    {kCmSettings, "Settings...", "", "Sets Kelvane default settings."},
    {kCmExit, "E&xit", "Alt+F4", "Quit"},

    {kCmUndo, "Undo ", "Ctrl+Z", "Reverses (undo) the last action."},
    {kCmRedo, "Redo ", "Ctrl+Y", "Repeats the last action that was undone."},
    {kCmCut, "Cut ", "Ctrl+X", "Cuts the selection and keeps it on the Clipboard."},
    {kCmCopy, "Copy ", "Ctrl+C", "Copies the selection to the Clipboard."},
    {kCmPaste, "Paste ", "Ctrl+V", "Inserts clipboard contents."},
    {kCmPasteFromClipboard, "Paste From Clipboard", "", "Inserts window clipboard contents."},
    {kCmPasteMix, "Paste Mix...", "", "Mixes the clipboard contents over the current selected region."},
    {kCmPasteMixFromClipboard, "Paste Mix From Clipboard...", "",
     "Mixes the window clipboard contents over the current selected region."},
    {kCmDelete, "&Delete", "", ""},
    {kCmSelectAll, "Select All", "Ctrl+A", "Selects the entire file."},
    {kCmSelectToStart, "Select To Start", "Shift+Home", "Selects everything before the current position."},
    {kCmSelectToEnd, "Select To End", "Shift+End", "Selects everything after the current position."},
    {kCmSelectRegion, "Select Region", "Ctrl+G", ""},
    {kCmMixFile, "Mix File...", "", "Mixes the current file with another file"},
    {kCmRepeatLoop, "Repeat Loop...", "", "Repeats the selected region."},
    {kCmTrim, "Trim", "Ctrl+T", "The selected region becomes the entire file."},
    {kCmTrimStart, "Trim Start", "Ctrl+M", "Deletes everything before the current position."},
    {kCmTrimEnd, "Trim End", "Ctrl+E", "Deletes everything after the current position."},
    {kCmAutoTrim, "Auto Trim", "", "Deletes silence from the start and end."},
    {kCmSilenceSelection, "Silence Select Region", "", "Silences the selected region."},
    {kCmInsertSilenceBegin, "Begin", "", "Inserts silence at the start."},
    {kCmInsertSilenceCurrent, "Current", "", "Inserts silence at the current position."},
    {kCmInsertSilenceEnd, "End", "", "Inserts silence at the end."},
    {kCmInsertFileBegin, "Begin", "", "Inserts another file at the start."},
    {kCmInsertFileCurrent, "Current", "", "Inserts another file at the current position."},
    {kCmInsertFileEnd, "End", "", "Inserts another file at the end."},
    {kCmCopyToNew, "Copy To New", "", "Copies the selected region to a new file."},

    {kCmAmplify, "Amplify...", "", "Increases or decreases the volume of the selected region."},
    {kCmNormalize, "Normalize...", "", "Raises the selected region so that its peak reaches a set level."},
    {kCmEqualizer, "Equalizer...", "", "Changes the level of the frequency bands of the selected region."},
    {kCmEcho, "Echo...", "", "Adds an echo to the selected region."},
    {kCmReverb, "Reverb...", "", "Adds reverberation to the selected region."},
    {kCmFadeIn, "Fade In", "", "Fades the selected region in from silence."},
    {kCmFadeOut, "Fade Out", "", "Fades the selected region out to silence."},
    {kCmEnvelope, "Envelope...", "", "Shapes the volume of the selected region with a curve."},
    {kCmAutomaticGainControl, "Automatic Gain Control", "", "Evens out the volume of the selected region."},
    {kCmNoiseReduction, "Noise Reduction", "", "Reduces background noise in the selected region."},
    {kCmHighPassFilter, "High-Pass Filter...", "", "Removes low frequencies from the selected region."},
    {kCmDynamicRangeCompressor, "Dynamic Range Compressor", "",
     "Narrows the difference between loud and soft parts of the selected region."},
    {kCmFadeOutAndTrim, "Fade Out and Trim", "", "Fades out the end of the selection and deletes what follows."},
    {kCmSimpleSpeedPitch, "Simple Speed and Pitch Change", "", "Changes speed and pitch of the selected region together."},
    {kCmConstantPitchSpeed, "Constant Pitch and Speed Change", "",
     "Changes the speed of the selected region and keeps its pitch."},
    {kCmConstantSpeedPitch, "Constant Speed and Pitch Change", "",
     "Changes the pitch of the selected region and keeps its speed."},
    {kCmDCOffsetCorrection, "DCOffset Correction", "", "Removes a constant offset from the selected region."},
    {kCmReverse, "Reverse", "", "Reverses the selected region."},
    {kCmNormalizeLoudness, "Normalize Loudness...", "",
     "Brings the selected region to a target loudness (LUFS) under a true-peak ceiling."},

    {kCmRecord, "&Record", "F5", "Records at the current position (or over selection)."},
    {kCmPlay, "&Play", "F9", "Plays the current file from the current position."},
    {kCmPlayNormal, "Play Normal Speed", "F10", "Plays the current file from the current position at normal speed."},
    {kCmPlaySlow, "Play Slow Speed", "F11", "Plays the current file from the current position at slow speed."},
    {kCmPlayFast, "Play Fast Speed", "F12", "Plays the current file from the current position at fast speed."},
    {kCmStop, "&Stop", "Esc", "Stops playback."},
    {kCmGoToStart, "Go To Start", "Home", "Moves to the start of the file."},
    {kCmRewind, "Rewind", "F7", "Rewinds"},
    {kCmFastForward, "Fast Forward", "F8", "Fast-forwards"},
    {kCmGoToEnd, "Go To End", "End", "Moves to the end of the current file."},
    {kCmPlayer, "Player...", "", "Plays the open files in a window of its own, with its own device and volume."},

    {kCmFrequencyAnalysis, "Frequency Analysis (FFT)", "", "Views the spectrum content of an audio signal."},
    {kCmLoudness, "Loudness...", "",
     "Measures the loudness (LUFS), loudness range and true peak of the selection or the whole file."},
    {kCmToneGenerator, "Tone Generator", "", "Creates new tones."},
    {kCmTextToSpeech, "Text To Speech", "", "Converts text to audio."},
    {kCmBatchConverter, "Batch Converter", "",
     "Applies multiple effect or edit functions on the current file at once."},

    {kCmSetBookmark, "Set Bookmark", "Ctrl+B", "Remembers the current position of the file."},
    {kCmOpenBookmarkList, "Open Bookmark List", "Ctrl+Shift+B", "Set a specified bookmark at the current position."},
    {kCmAddRegion, "Add Region", "Ctrl+R", "Remembers the current selection of the file."},
    {kCmOpenRegionList, "Open Region List", "Ctrl+Shift+R", "Select a specified region."},
    {kCmAssembleRegions, "Assemble Regions", "", "Assemble regions into a new file."},

    {kCmCascade, "Cascade", "", "Cascade windows on the Desktop"},
    {kCmTileHorizontal, "Tile Horizontal", "", "Tile windows horizontally on the Desktop"},
    {kCmTileVertical, "Tile Vertical", "", "Tile windows vertically on the Desktop"},
    {kCmArrangeIcons, "Arrange Icons", "", "Arrange the icons of minimized windows"},
    {kCmZoomIn, "Zoom In", "Ctrl+Plus", "Zooms in."},
    {kCmZoomOut, "Zoom Out", "Ctrl+Minus", "Zooms out."},
    {kCmZoomToSelection, "Zoom To Selection", "Ctrl+Shift+S", "Zooms to the selected region."},
    {kCmZoomFull, "Zoom Full", "Ctrl+Shift+F", "Displays the entire wave length."},
    {kCmVerticalZoom, "Vertical Zoom", "Ctrl+Shift+V", "Increase the amplitude of the display (to see softer sounds)."},
    {kCmDisplayPlusMinus, "Display Wave Form in + /-", "", "Wave display + up / - down."},
    {kCmDisplayLeftRight, "Display Wave Form in L / R", "", "Wave display left channel up / right channel down."},
    {kCmDisplayLanes, "Display Wave Form in Lanes", "", "Wave display of each channel in a lane of its own."},
    {kCmDisplaySpectrogram, "Display Spectrogram", "",
     "Spectrogram display: frequency up, loudness as colour, each channel in a lane of its own."},
    {kCmSpectrogramOptions, "Spectrogram Options...", "", "Sets the spectrogram's FFT size and frequency axis."},
    {kCmCloseAll, "Close All", "", "Closes all windows."},

    {kCmHelpContents, "&Help Contents", "F1", "Displays the manual."},
    {kCmAbout, "&About Kelvane...", "", "Displays program information including version number"},
};

struct Range {
    int32_t first, last;
};

// The commands that act on the current document. Reverse (4018) is among them
// like every other effect: without a document it has nothing to work on.
constexpr Range kNeedDocument[] = {
    {1003, 1009}, {1012, 1012}, {1018, 1018}, {2001, 2028}, {3002, 3011},
    {4001, 4019}, {5001, 5013}, {5040, 5040}, {7001, 7001}, {7005, 7005}, {8001, 8001},
    {8003, 8004},
};

const std::vector<LKVExtraKey> kExtraKeys = {
    {kCmPlay, "Space", true},
    {kCmDelete, "Del", false},
    {kCmDelete, "Backspace", false},
    {kCmRedo, "Ctrl+Shift+Z", false},
};

} // namespace

const std::vector<LKVCommandInfo>& LKVCommandTable() { return kTable; }

const std::vector<LKVExtraKey>& LKVExtraKeys() { return kExtraKeys; }

const LKVCommandInfo* LKVFindCommand(int32_t id)
{
    for (const LKVCommandInfo& c : kTable)
        if (c.id == id)
            return &c;
    return nullptr;
}

bool LKVCommandNeedsDocument(int32_t id)
{
    for (const Range& r : kNeedDocument)
        if (id >= r.first && id <= r.last)
            return true;
    return false;
}
