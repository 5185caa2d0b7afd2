#pragma once
#include <cstdint>

#include "display/LKVWaveModel.h"
#include "edit/LKVFile.h"

// What a document window does with its two wave views, without the window: the
// overview always shows the whole document, the main view the document's view
// range; zoom, vertical zoom and display mode commands, the scroll bar and the
// mouse wheel (both move the view only, never the cursor or the selection),
// and the cursor moving the view. Works on the document's positions and
// display flags. Used on the user-interface thread.
class LKVFileWindowModel {
public:
    // Zoom In never shows fewer frames than this.
    static constexpr int32_t kMinZoomFrames = 100;
    // One notch of the wheel (an angle of 120) scrolls a tenth of the view,
    // or half of it with Shift, and zooms by this factor with Ctrl.
    static constexpr int32_t kWheelNotch = 120;
    static constexpr double kWheelZoomFactor = 1.25;

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
    // kWaveModePosNeg, kWaveModeLeftRight, kWaveModeLanes or kWaveModeSpectrogram;
    // restarts the views.
    void CmSetWavDisplayMode(int32_t mode);
    // The stereo display mode buttons are enabled only for stereo documents
    // (the spectrogram's always is).
    bool DisplayModeEnabled() const { return file_.audio.channels == 2; }
    // The main view's spectrogram FFT size and frequency axis, from the next InitWavWindow on.
    void SetSpectrogramOptions(int32_t fftSize, bool logFrequency);

    // The scroll bar in frames: its value is the view start, from 0 to the
    // length less the view's width; a page is the view's width, a line a tenth of it.
    struct ScrollBar {
        int32_t maximum, page, line, value;
    };
    ScrollBar ScrollBarState() const;
    // Shows the view at the same width from `start` (clamped into the document).
    void ScrollViewTo(int32_t start);
    // Moves the view by `frames` (negative: back), at the same width.
    void ScrollViewBy(int64_t frames);
    // A wheel turned by `angle` (120 a notch, positive away from the user, as
    // toolkits report it) over column `column` of the main view `width` columns
    // wide: scrolls the view back for a positive angle (further with `fast`),
    // or with `zoom` zooms in around the frame under the pointer, which stays
    // under it. Touchpads report a fraction of a notch; their sideways
    // scrolling comes as `pixels` of motion instead, moved with the content.
    void Wheel(int32_t angle, int32_t pixels, int32_t column, int32_t width, bool zoom, bool fast);
    // Zooms the view to `factor` times its width (within kMinZoomFrames and the
    // document) so that the frame under `column` stays under it.
    void ZoomAround(int32_t column, int32_t width, double factor);

    // The cursor moved (the main window set file.pos.cursor): both views move
    // their cursor (the main view with a 25 ms band while the player cues),
    // and the view range shifts, at the same width, to keep it visible. A
    // cursor that has not moved since the last call leaves the view where the
    // user scrolled it.
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
    int32_t followed_ = -1;  // the cursor the view last followed
    LKVWaveModel overview_;
    LKVWaveModel main_;
};
