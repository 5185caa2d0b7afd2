#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "edit/LKVFile.h"
#include "edit/LPlayerPort.h"

// Command identifiers; key-macro files store them, so the values are fixed.
enum : int32_t {
    kCmConvertSampleRate = 1006,
    kCmConvertMono = 1007,
    kCmConvertStereo = 1008,
    kCmUndo = 2001,
};

// The state of the Edit menu's Undo item and its toolbar button.
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
    virtual void SaveEnabledChanged(bool) {}
};

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
    void UpdateUndoMenuItem();
    const LUndoMenuItem& UndoMenuItem() const { return undoItem_; }
    void SetSelection(int32_t start, int32_t end, int32_t cursor);
    void StopPlayback();

    // Converts the current document; nothing when it already has the rate or
    // channels. The selection and cursor keep their times across a rate change.
    // Returns the job result (kJobDone when nothing was needed).
    int32_t ConvertSampleRate(int32_t rate);
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
    // Mode 0 "Simple Speed and Pitch Change", 1 "Constant Pitch and Speed Change",
    // 2 "Constant Speed and Pitch Change"; the selection end follows the new length.
    int32_t CmSpeedChange(int32_t mode);

private:
    LPlayerPort* player_;
    LMainDialogView* view_;
    std::vector<std::unique_ptr<LKVFile>> documents_;
    LKVFile* current_ = nullptr;
    LUndoMenuItem undoItem_;
};
