#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/LRateQuality.h"
#include "edit/LKVFile.h"
#include "edit/LPlayerPort.h"
#include "app/LKVTransport.h"

struct LUiMixValues;
class LCDBurnDlgModel;

#include "app/LKVBookMark.h"
#include "app/LKVClipboardPort.h"
#include "app/LKVCommands.h"
#include "app/LKVCommandLine.h"
#include "app/LKVProject.h"
#include "app/LKVReadouts.h"
#include "app/LKVRecovery.h"
#include "app/LKVRegion.h"
#include "app/LKeyMacros.h"
#include "app/LRecordDlgModel.h"
#include "app/LSettingsTable.h"
#include "core/LUi.h"
#include "display/LWaveMarks.h"

// Command identifiers; key-macro files store them, so the values are fixed.
enum : int32_t {
    kCmConvertSampleRate = 1006,
    kCmConvertMono = 1007,
    kCmConvertStereo = 1008,
    kCmUndo = 2001,
    // Redo has no number of its own in older key-macro files; it takes the
    // first free one after the Edit commands.
    kCmRedo = 2028,
};

// The state of the Edit menu's Undo (or Redo) item and its toolbar button.
struct LUndoMenuItem {
    std::string text = "Undo \tCtrl+Z";
    bool enabled = false;
};

// What the window shows of the model; the GUI overrides what it draws.
class LMainDialogView {
public:
    virtual ~LMainDialogView() = default;
    virtual void DocumentChanged(LKVFile&) {}
    virtual void ShowWholeDocument(LKVFile&) {}
    virtual void UndoItemChanged(const LUndoMenuItem&) {}
    virtual void RedoItemChanged(const LUndoMenuItem&) {}
    virtual void SaveEnabledChanged(bool) {}

    // ---- Documents, bookmarks, regions, projects ----
    // A document joined the list (its window is created) / is about to leave it.
    virtual void DocumentOpened(LKVFile&) {}
    virtual void DocumentClosing(LKVFile&) {}
    // The current document changed (nullptr: none); its window is activated.
    virtual void CurrentFileChanged(LKVFile*) {}
    virtual void BookMarksChanged() {}
    virtual void RegionsChanged() {}
    virtual void CaptionChanged(const std::string&) {}
    // The batch converter should open, or refresh its file page when it is open.
    virtual void BatchConverterRequested() {}
    // A command the frame performs itself (zoom, windows, Exit...), reached
    // through a key macro.
    virtual void FrameCommand(int32_t) {}

    // ---- Transport ----
    // The player started, stopped, cued or paused: PlayerState() changed; the
    // play and stop buttons swap their pictures.
    virtual void TransportChanged() {}
    // Playback moved the cursor of `doc` (doc.pos.cursor).
    virtual void PlayCursorMoved(LKVFile& doc) { (void)doc; }
};

// Where Insert File puts the file.
enum class LKVInsertAt : uint8_t { Begin, Current, End };

// The main window's model: the open documents, the current one, and every
// command as a method, so each is testable without a window. Runs on the
// user-interface thread; jobs run under LProgressDialog, questions go through LUi.
class MainDialog {
public:
    // `player` and `view` are not owned and may be null.
    explicit MainDialog(LPlayerPort* player = nullptr, LMainDialogView* view = nullptr);
    ~MainDialog();

    // Documents, in the order they were opened.
    const std::vector<std::unique_ptr<LKVFile>>& Documents() const { return documents_; }
    LKVFile* CurrentFile() const { return current_; }
    void SetCurrentFile(LKVFile* file);
    // Adds a document and makes it current.
    LKVFile& AddDocument(std::unique_ptr<LKVFile> file);
    // Removes a document; the current one moves to the last document left.
    void RemoveDocument(LKVFile* file);
    // The smallest n >= 1 that no open document uses, or 1 when 1..19 are taken.
    int32_t GetUntitledIdx() const;

    // The modification pattern: stop playback and save an undo level named
    // `name`; false when there is no current document.
    bool StartModifyCurrentFile(const std::string& name);
    // Sets the cursor, refreshes the views and, when "AutoPlaybackAfterEffects"
    // is on, plays from max(0, cursor - preRoll).
    void EndModifyCurrentFile(int32_t cursor, int32_t preRoll);
    void CmUndo();
    // Brings back what the last Undo took away (nothing after a new edit).
    void CmRedo();
    // Refreshes the Undo and the Redo item.
    void UpdateUndoMenuItem();
    const LUndoMenuItem& UndoMenuItem() const { return undoItem_; }
    // "Redo %s\tCtrl+Y", enabled while there is something to redo.
    const LUndoMenuItem& RedoMenuItem() const { return redoItem_; }
    void SetSelection(int32_t start, int32_t end, int32_t cursor);
    void StopPlayback();

    // ---- Transport (MainDialogTransport.cpp) ----
    // The transport buttons and the Control menu. They work on the current
    // document through the player given to the constructor; without a player or
    // a document they do nothing. Playback moves the document's cursor as it
    // goes (PlayCursorMoved), and a device that cannot be opened shows
    // kDeviceMessage. The output device is "SoundOutDevice".
    static constexpr const char* kDeviceMessage =
        "Please check that you have selected the correct sound player device using Settings. "
        "Open Settings using File->Settings";
    // Play (F9). While cueing it only leaves the scrub loop. Otherwise it plays
    // from the cursor, from 0 when the cursor lies within one second of the end;
    // with a selection from the selection start to its end (the cursor moves to
    // the start). A "PlaySpeed" other than 1 plays at half or one and a half
    // times the tempo, same pitch. False when nothing plays.
    bool CmPlay();
    // F11 (0, slow), F10 (1, normal), F12 (2, fast): stores "PlaySpeed" and plays at once.
    void CmPlaySpeed(int32_t speed);
    // Scrub (Space): plays first when idle, then loops 25 ms at the position.
    void CmScrub();
    void CmStop() { StopPlayback(); }
    void CmGoToStart();
    void CmGoToEnd();
    // Moves the cursor of the current document (a click in the waveform, a
    // bookmark); an active player continues from there.
    void MoveCursor(int32_t frame);
    // Rewind and Forward are held: a press starts a scan that begins slowly and
    // speeds up over 8 s, the release resumes what was going on before (play,
    // scrub or nothing) from where the scan got to. A press of the scan already
    // running is ignored; one of the other direction ends that first. With
    // "ReduceVolWhenRewind" the scan plays at -8 dB.
    void ScanPressed(LKVScan direction);
    void ScanReleased(LKVScan direction);
    LKVScan Scanning() const { return transport_.Scanning(); }
    // The volume control, -36..+10 dB: the player's gain (0 dB plays the audio
    // as it is), stored as "PlayVolume" and applied again at start.
    int32_t PlayVolume() const;
    void SetPlayVolume(int32_t dB);
    // LPlayerPort state bits of the main window's player (0 idle).
    uint16_t PlayerState() const;
    // Record (F5): runs the record dialog on the current document (a new one
    // when none is open). A kept recording replaces the selection, or goes in
    // at the cursor, under the undo step "Record", and becomes the selection;
    // "Record Next" then records again after it. False when nothing went in.
    bool CmRecord();
    // The document whose audio is playing; nullptr when idle or playing a region.
    LKVFile* PlayingFile() const { return playingFile_; }

    // Converts the current document; nothing when it already has the rate or
    // channels. The selection and cursor keep their times across a rate change.
    // Returns the job result (kJobDone when nothing was needed).
    int32_t ConvertSampleRate(int32_t rate, LRateQuality quality = LRateQuality::Standard);
    int32_t ConvertChannels(uint8_t channels);
    void CmConvertMono() { ConvertChannels(1); }
    void CmConvertStereo() { ConvertChannels(2); }

    // ---- Effect commands (MainDialogEffects.cpp) ----
    // Each works on the current document's selection: without a document or a
    // valid selection it does nothing. It reads its stored values, asks for them
    // through LUi (re-asking after an "Invalid value" message), stores them,
    // records the undo step named after the command, runs its job under a
    // progress window titled the same, and on completion moves the cursor to the
    // selection start and plays from the command's pre-roll before it. A job
    // that is cancelled or fails leaves the audio as it was (the undo step stays).
    // Each returns the job's result, or kEffectNotRun when nothing was started.
    static constexpr int32_t kEffectNotRun = -1;
    int32_t CmAmplify();
    int32_t CmNormalize();
    int32_t CmFadeIn();
    int32_t CmFadeOut();
    int32_t CmFadeOutAndTrim();
    int32_t CmEnvelope();
    // Measures the selection first (the dialog shows it and previews with it);
    // audio too quiet to measure is reported and left alone.
    int32_t CmNormalizeLoudness();
    // The loudness analysis of the selection, or of the whole document when
    // nothing is selected, shown in the loudness window. Changes nothing.
    int32_t CmLoudness();
    // Mode 0 "Simple Speed and Pitch Change", 1 "Constant Pitch and Speed Change",
    // 2 "Constant Speed and Pitch Change"; the selection end follows the new length.
    int32_t CmSpeedChange(int32_t mode);

    // ---- Filter, dynamics (MainDialogFilterEffects.cpp) and edit effects
    // (MainDialogEditEffects.cpp) ----
    // The same pattern as the commands above. Those marked "no selection"
    // also run without a valid selection; the rest do nothing without one.
    int32_t CmEcho();
    int32_t CmReverb();
    int32_t CmHighPassFilter();
    int32_t CmEqualizer();
    // A stored ratio index that names no ratio stops the command unchanged.
    int32_t CmCompressor();
    int32_t CmNoiseReduction();
    // Afterwards the selection is cleared and playback starts at 0.
    int32_t CmAutomaticGainControl();
    // Keeps only the selection; cursor and selection go to 0.
    int32_t CmTrim();
    // No selection: delete before the selection start / after its end.
    int32_t CmTrimStart();
    int32_t CmTrimEnd();
    // No selection: trims the quiet start and end of the whole document.
    int32_t CmAutoTrim();
    int32_t CmEditSilence();
    // No selection: inserts "SilenceTimes" ms of silence at the start, at the
    // cursor or at the end, and selects it.
    enum class SilenceAt { Start, CurrentPosition, End };
    int32_t CmInsertSilence(SilenceAt where);
    // The selection then occurs "RepeatNumTimes" + 1 times in a row.
    int32_t CmRepeatLoop();
    int32_t CmDCOffsetCorrection();
    int32_t CmReverse();
    // No selection: mixes the internal clipboard (any rate and channels) into
    // the document from the selection start; the selection becomes the mixed
    // audio. Nothing without clipboard audio.
    int32_t CmPasteMix();
    // The same with the system clipboard's wave data.
    int32_t CmPasteMixFromClipboard();
    // The same with an audio file the user picks (folder kept as "MixFileDir").
    int32_t CmMixFile();

    // ==== Files, edit commands, clipboard, bookmarks, regions, projects, key
    // macros, command line (MainDialogFile.cpp, MainDialogEdit.cpp,
    // MainDialogBookmarks.cpp, MainDialogRegions.cpp, MainDialogProject.cpp,
    // MainDialogCommands.cpp) ====

    // -- File commands --
    // A new untitled document at the rate and channels asked for (when
    // "PromptSampleAndChannels" is on; the choice is remembered) or the default
    // ones; nullptr when the dialog was cancelled.
    LKVFile* CmNewFile();
    // The open dialog, then OpenFile.
    LKVFile* CmOpen();
    // Opens `path`; a document already open under that path only becomes
    // current. The load job fills a new document, which joins the list only when
    // the load completes: a failure or a cancel leaves no document. Its bookmark
    // file is read, and it plays when "PlayWhenOpen" is on.
    LKVFile* OpenFile(const std::string& path);
    // Saves the current document (an untitled one through Save As). True when saved.
    bool CmSave();
    bool CmSaveAs();
    // Closes the current document, asking about unsaved changes; false when the
    // user cancelled or the save he asked for failed (the document stays open).
    bool CmClose();
    bool CloseFile(LKVFile& doc);
    // Closes every document in list order, stopping at the first that stays open.
    bool CmCloseAll();
    // What the frame does before it closes: offers to save the project, closes
    // every document. False when the program should keep running.
    bool CmExit();
    // Opens the file of a recent-file command (1050..1060).
    LKVFile* CmOpenRecent(int32_t command);

    // -- Edit commands: each works on the current document and its selection
    // (clamped to the audio), with the undo and playback pattern. --
    void CmCut();
    void CmCopy();
    // Replaces the selection (or inserts at the cursor) with the clipboard,
    // converted first to the document's rate and channels when they differ.
    void CmPaste();
    // The same with the system clipboard's wave data.
    void CmPasteFromClipboard();
    void CmDelete();
    void CmSelectAll();
    void CmSelectToStart();
    void CmSelectToEnd();
    // Asks for a start and an end time and selects them.
    void CmSelectRegion();
    // The "Insert File" dialog, then InsertFile.
    bool CmInsertFile(LKVInsertAt where);
    // Loads `path`, converts it to the document's rate and channels and inserts
    // it; the document is untouched when the load or the conversion fails.
    bool InsertFile(const std::string& path, LKVInsertAt where);
    // A new untitled document holding a copy of the selection.
    LKVFile* CmCopyToNew();
    // The CD dialog's message kLKVMsgCDTrack: a track loaded into `audio` (whose
    // segment it takes over) becomes a new document titled `name`, with no file
    // yet (closing it asks to save).
    LKVFile* OpenCDTrack(const std::string& name, LCutListAudio& audio);
    // The internal clipboard (44100 Hz mono and empty at first).
    const LCutListAudio& Clipboard() const { return clipboard_; }
    // The internal clipboard as the bytes of a WAV file, for the system
    // clipboard; saved through "clipboard.wav" in the "Current" folder.
    bool RenderClipboardWave(std::vector<uint8_t>& bytes);
    // Installs the system clipboard (not owned); nullptr uses a local one. What
    // Cut and Copy offer renders through this window, so the port must drop it
    // before the window goes.
    void SetClipboardPort(LKVClipboardPort* port) { clipboardPort_ = port; }

    // -- Bookmarks --
    const LKVBookMarkList& BookMarks() const { return bookmarks_; }
    // "Set Bookmark": names the current position of the current document.
    bool CmSetBookmark();
    // Counts the visit and moves to the bookmark in its document when that is
    // open (or plays from there when "PlayBookMark" is on).
    void GoToBookmark(size_t index);
    bool RenameBookmark(size_t index);
    // Both ask first; false when nothing was deleted.
    bool DeleteBookmarks(std::vector<size_t> indexes);
    bool DeleteAllBookmarks();

    // The bookmarks and regions of `doc` as its wave views draw them: in
    // frames at its rate (clamped to its audio), with their places in the lists.
    LWaveMarks MarksOf(const LKVFile& doc) const;

    // -- Regions --
    const LKVRegionList& Regions() const { return regions_; }
    // "Add Region": names a copy of the current selection.
    bool CmAddRegion();
    void PlayRegion(size_t index);
    void StopRegion() { StopPlayback(); }
    // Activates the open document the region was taken from and selects the
    // region's time range there (clamped to the audio); nothing when that
    // document is not open.
    void GoToRegion(size_t index);
    // Whether every region of `indexes` can name a file; the first that cannot
    // is reported ("File Name Invalid") and false returned.
    bool CheckRegionFileNames(const std::vector<size_t>& indexes) const;
    // Copy to CD: the regions of `indexes` become the tracks of `model`, in that
    // order and titled with their names. False when a name cannot name a file
    // (the message is shown) or there is nothing to write.
    bool RegionsToCD(const std::vector<size_t>& indexes, LCDBurnDlgModel& model) const;
    // Copy File(s) to CD > Audio: each file, in any format the program opens, a
    // track of `model`. False when one cannot be opened (its message is shown).
    static bool FilesToCD(const std::vector<std::string>& paths, LCDBurnDlgModel& model);
    bool RenameRegion(size_t index);
    bool DeleteRegions(std::vector<size_t> indexes);
    bool DeleteAllRegions();
    // Saves one region as an audio file chosen in the "Save Region As" dialog.
    bool SaveRegion(size_t index);
    // Saves each region in the folder chosen in the export dialog, named after
    // it; returns how many were written.
    int32_t ExportRegions(const std::vector<size_t>& indexes);
    LKVFile* CopyRegionToNew(size_t index);
    // The assemble dialog, starting from the regions of `start` (those selected
    // in the region window), then AssembleRegions.
    LKVFile* CmAssembleRegions(std::vector<size_t> start = {});
    // A new untitled document of the regions in `order`, with "AutoGap"
    // silence between them; nullptr (and nothing created) when an insert fails.
    LKVFile* AssembleRegions(const std::vector<size_t>& order);

    // -- Projects --
    bool CmOpenProject();
    // Offers to save the current project, then reads `path`. On any failure
    // every document, bookmark and region stays as it was.
    bool LoadProject(const std::string& path);
    bool CmSaveProject();
    bool CmSaveProjectAs();
    bool CmCloseProject();
    const std::string& ProjectPath() const { return projectPath_; }
    std::string Caption() const { return LKVCaption(projectPath_); }

    // -- Tools (MainDialogTools.cpp) --
    // "Tone Generator": the tone dialog on the values of "ToneGenerator"; on OK
    // they are stored and the tone becomes a new untitled document, or goes in
    // at the cursor of the current one as the undo step "Tone" (selected, with
    // the after-edit playback). Returns the document, or nullptr when nothing
    // was made (cancelled in the dialog or the job).
    LKVFile* CmToneGenerator();
    // "Text To Speech": the speech dialog with the synthesizer's voices (the
    // stored "TextToSpeechVoice" chosen); the speech becomes a new untitled
    // document at the synthesizer's rate, mono. Without a synthesizer or
    // voices the user is told so; an empty text is refused with a message.
    LKVFile* CmTextToSpeech();
    // "Send...": the current document is saved to a temporary file in its own
    // format (WAV for an untitled one) and handed to the desktop's mail program
    // with xdg-email ("UseMAPI" on), or, with "UseMAPI" off, sent over SMTP to
    // a recipient the user types, through "MailSMTPHost" from "ReplyToEmail".
    // Every failure is a message saying what happened; the temporary file is
    // removed afterwards. True when the file was handed over or sent.
    bool CmSendFile();
    static constexpr const char* kNoMailSettingsMessage =
        "To send files directly, enter the mail server (host or host:port) and your e-mail address on the "
        "Email page of Settings, or turn on sending through the desktop's mail program there.";
    static constexpr const char* kNoVoicesMessage =
        "No text-to-speech voices are installed. Install the package espeak-ng-data to speak a text.";

    // -- Commands, key macros, command line, read-outs --
    // Whether a menu command is enabled now.
    bool IsCommandEnabled(int32_t id) const;
    // Runs a command by identifier; false for one this model does not perform
    // (the frame's own commands, or one not available).
    bool ExecuteCommand(int32_t id);
    LKeyMacros& KeyMacros() { return keyMacros_; }
    // Reads and writes "keys.dat", telling the user about a failure.
    bool LoadKeyMacros();
    bool SaveKeyMacros();
    // Runs the macro of `key`; false when none matches.
    bool OnKey(uint32_t key);
    // One of LKVExtraKeys was pressed (no macro took it).
    void OnExtraKey(const LKVExtraKey& key);
    // Performs the first instance's command line; returns what it asked for
    // (the frame starts the post-installation timer for InstallPrompt).
    LKVStartAction RunCommandLine(const std::vector<std::string>& args);
    // A message forwarded by a second instance.
    void OnInstanceMessage(int32_t message, const std::string& argument);
    // The batch converter's file list.
    const std::vector<std::string>& BatchFiles() const { return batchFiles_; }
    // The batch converter's window edits the list and empties it when it closes.
    std::vector<std::string>& BatchFiles() { return batchFiles_; }
    LKVReadouts Readouts() const { return LKVReadouts::Of(current_); }

    // -- Crash recovery (MainDialogRecovery.cpp) --
    // At start-up, before any document opens: when the working folder holds
    // records of an editor that did not close properly, asks kQuestion once.
    // Yes opens every document as it was (modified, untitled where it was, with
    // its bookmarks and regions); No discards them and frees their segments.
    // Returns how many documents came back. Nothing without a working folder of
    // our own (a private tank).
    int32_t RecoverAtStart();
    const LKVRecovery& Recovery() const { return recovery_; }

private:
    // Brings the crash record of `doc` up to date (after a change, a load, a take).
    void RecordDocument(const LKVFile& doc);
    // The same for every document that has a record, and `also` (the marks changed).
    void RecordMarks(const LKVFile* also);
    struct TakeWatcher : LRecordTakeWatcher {
        MainDialog* owner = nullptr;
        LKVFile* doc = nullptr;
        int32_t start = 0, end = 0;
        void TakeStarted(const LRecordTarget& target) override;
        void TakeEnded() override;
    };

    // Plays `audio` (a private copy is taken) from `frame`, for `doc` (whose
    // cursor follows; nullptr for none), at the stored play speed.
    bool PlayAudio(const LCutListAudio& audio, int32_t frame, LKVFile* doc);
    bool StartPlayer(LSoundSource source, LKVFile* doc);
    void OnPlayPosition(int32_t ms);
    void OnPlayStateChanged();
    struct PlayerEvents : LPlayerListener {
        MainDialog* owner = nullptr;
        void PlayStateChanged() override { owner->OnPlayStateChanged(); }
        void PlayPosition(int32_t ms) override { owner->OnPlayPosition(ms); }
    };
    PlayerEvents playerEvents_;
    LKVFile* playingFile_ = nullptr;
    // The transport's rules play the current document through StartPlayer.
    struct TransportOwner : LKVTransportOwner {
        MainDialog* owner = nullptr;
        bool TransportStart(LSoundSource source) override;
        void TransportStop() override { owner->StopPlayback(); }
        void TransportReduceVolume(bool reduced) override;
    };
    TransportOwner transportOwner_;
    LKVTransport transport_;

    // Records the undo step `name` and mixes `mix` in with the dialog's values.
    int32_t RunMix(const std::string& name, const LCutListAudio& mix, const LUiMixValues& values);

    LPlayerPort* player_;
    LMainDialogView* view_;
    std::vector<std::unique_ptr<LKVFile>> documents_;
    LKVFile* current_ = nullptr;
    LUndoMenuItem undoItem_;
    LUndoMenuItem redoItem_{"Redo \tCtrl+Y", false};

    // ---- Files, clipboard, bookmarks, regions, projects (see the block above) ----
    // A document joins the list and becomes current; it takes the display mode
    // of "WaveDisplayMode" unless `keepDisplay` (a recovered one keeps its own).
    LKVFile& AddNewDocument(std::unique_ptr<LKVFile> doc, bool keepDisplay = false);
    void CloseDocumentNow(LKVFile& doc);
    bool SaveDocument(LKVFile& doc);
    bool SaveDocumentAs(LKVFile& doc);
    bool SaveDocumentTo(LKVFile& doc, const std::string& path);
    void WriteBookMarkFile(const std::string& audioPath);
    void RefileBookMarks(const std::string& from, const std::string& to);
    bool AskFileName(const LUiFileRequest& request, const LSettingString& folder, std::string& path);
    bool AskSavePath(LUiFileRequest request, const LSettingString& folder, const std::string& question,
                     std::string& path);
    bool ClampedSelection(int32_t& start, int32_t& end) const;
    void PasteList(LCutListAudio list);
    void OfferClipboard();
    int32_t SaveListTo(const LCutListAudio& audio, const std::string& path);
    enum class ProjectOffer : uint8_t { Cancelled, Saved, NotSaved };
    ProjectOffer OfferToSaveProject(bool atExit);
    bool AskToSaveDocuments();
    bool SaveProjectTo(const std::string& path);
    void ReplaceProject(LKVProjectContents contents, const std::string& path);
    void ClearProject();
    void SetCaptionChanged();

    LKVRecovery recovery_;
    LCutListAudio clipboard_;
    LKVLocalClipboard localClipboard_;
    LKVClipboardPort* clipboardPort_ = nullptr;
    LKVBookMarkList bookmarks_;
    LKVRegionList regions_;
    std::string projectPath_;
    LKeyMacros keyMacros_;
    std::vector<std::string> batchFiles_;
};
