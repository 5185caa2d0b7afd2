#pragma once
#include <cstdint>

#include "display/LKVWaveModel.h"
#include "edit/LKVFile.h"

// Actions of the document window's horizontal scroll bar.
enum class LScrollAction : uint8_t { LineLeft, LineRight, PageLeft, PageRight, Thumb, Start, End };

// What a document window does with its two wave views, without the window: the
// overview always shows the whole document, the main view the document's view
// range; zoom, vertical zoom and display mode commands, the scroll bar, and the
// cursor moving the view. Works on the document's positions and display flags.
// Used on the user-interface thread.
class LKVFileWindowModel {
public:
    // Range of the scroll bar.
    static constexpr int32_t kScrollRange = 200;
    // Zoom In never shows fewer frames than this.
    static constexpr int32_t kMinZoomFrames = 100;

    // `file` must outlive the model.
    explicit LKVFileWindowModel(LKVFile& file);

    LKVFile& File() { return file_; }
    LKVWaveModel& Overview() { return overview_; }
    LKVWaveModel& Main() { return main_; }

    // Restarts both views on the document's audio (on creation, after every
    // change of the audio, a resize or a display option) and shows its view
    // range, made valid first: cut to the length, moved to 0 when it starts past
    // it, the whole document when it is empty or reversed, one second for an
    // empty document.
    void InitWavWindow();
    // Both views show the document's selection.
    void SetWavWindowMarkPos();
    bool IsValidSelection() const { return file_.pos.selStart < file_.pos.selEnd; }
    // View range = [max(start, 0), min(end, length)], then ApplyZoom.
    void ModifyZoom(int32_t start, int32_t end);
    // The main view shows the document's view range.
    void ApplyZoom();

    // Half the frames across (at least 100), centred on the cursor.
    void CmZoomIn();
    // Twice the frames across (at most the document), a quarter of them before
    // the old start.
    void CmZoomOut();
    void CmZoomToSelection();
    void CmZoomFull();
    // Toggles the eightfold magnification of the main view and restarts the views.
    void CmZoomVertical();
    // kWaveModePosNeg or kWaveModeLeftRight; restarts the views.
    void CmSetWavDisplayMode(int32_t mode);
    // The two display mode buttons are enabled only for stereo documents.
    bool DisplayModeEnabled() const { return file_.audio.channels == 2; }

    // Where a scroll bar action moves the cursor: two seconds back or forward
    // per line or page, the thumb (0..200) to that share of the document;
    // within 0..length.
    int32_t ScrollTarget(LScrollAction action, int32_t thumb) const;
    // The thumb position of the document's cursor.
    int32_t ScrollBarPos() const;
    // The cursor moved (the main window set file.pos.cursor): both views move
    // their cursor (the main view with a 25 ms band while the player cues),
    // and the view range shifts, at the same width, to keep it visible.
    void CursorMoved(bool cueing);
    // After an edit or an effect (the cursor at the start of the changed
    // range): a view that does not hold the cursor keeps its width and moves
    // to start a tenth of that width before it, so the changed audio shows
    // from its start.
    void ShowChange();
    // Moves the view range by a tenth of its width while a drag is held past an
    // edge (direction kWaveDragRight or kWaveDragLeft); false when at the end.
    bool DragScrollStep(int32_t direction);

private:
    int32_t Length() const { return file_.audio.GetLength(); }
    int32_t OneSecond() const { return file_.audio.sampleRate > 0 ? file_.audio.sampleRate : 44100; }
    // Sets the view to [start, start + width) with start moved back so the
    // range fits in the document, then ApplyZoom.
    void ShowWidth(int32_t start, int32_t width);

    LKVFile& file_;
    LKVWaveModel overview_;
    LKVWaveModel main_;
};
