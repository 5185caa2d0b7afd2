#pragma once
#include <QWidget>
#include <array>
#include <memory>

#include "display/LKVFileWindowModel.h"
#include "display/LWaveMarks.h"
#include "edit/LCutListAudio.h"

class LKVAmplitudeScale;
class LKVFile;
class LKVTimeRuler;
class LKVWaveWindow;
class MainDialog;
class QMenu;
class QScrollBar;
class QToolButton;

// The content of one document's child window: the overview strip (12 % of the
// height above the bottom bar) that always shows the whole document and frames
// the stretch the main view holds, the time ruler, the main view of the
// document's view range between its two amplitude scales, and the bottom bar
// with the scroll bar (which moves the view, never the cursor) and the nine
// zoom and display buttons. Both views draw the document's bookmarks and
// regions. The wheel scrolls the view, zooms with Ctrl, scrolls faster with
// Shift. The frame creates the window for a document that joins the model and
// calls the operations below; what the user does comes back as signals.
// Everything the window changes in the document (selection, cursor) goes
// through the model.
class LKVFileWindow : public QWidget {
    Q_OBJECT
public:
    // The bottom bar's height, pixels.
    static constexpr int kBarHeight = 25;

    // `model` and `doc` outlive the window: the frame deletes the window before
    // the document leaves the model.
    LKVFileWindow(MainDialog& model, LKVFile& doc, QWidget* parent = nullptr);
    ~LKVFileWindow() override;

    LKVFile& Document() const { return doc_; }

    // The document's audio, selection, cursor, name or modified flag changed:
    // the views restart on new audio, else only their marks move.
    void DocumentChanged();
    // The view should cover the whole document (after opening or converting it).
    void ShowWholeDocument();
    // A zoom or display command (5001-5005, 5007, 5008, 5013-5015) for this
    // document; false for any other command. 5015 takes the spectrogram
    // options from the settings.
    bool ViewCommand(int32_t id);
    // The bookmarks or regions of the model changed: the views draw them anew.
    void MarksChanged();
    // The menu a right click opens (owned by the frame).
    void SetContextMenu(QMenu* menu) { contextMenu_ = menu; }
    // Playback moved the document's cursor; `cueing` draws the 25 ms band of the
    // scrub loop. The main view scrolls to keep the cursor in sight.
    void PlayCursorMoved(bool cueing);

    // Waits until both views have computed what they were asked for and lets
    // the window paint it; false after `ms` milliseconds. For tests and screenshots.
    bool WaitUntilDrawn(int32_t ms);

    LKVFileWindowModel& ViewModel() { return *views_; }
    LKVWaveWindow& OverviewWindow() const { return *overview_; }
    LKVWaveWindow& MainWindow() const { return *main_; }
    QScrollBar& ScrollBar() const { return *scroll_; }
    LKVTimeRuler& Ruler() const { return *ruler_; }
    LKVAmplitudeScale& Scale(bool decibels) const { return decibels ? *dBScale_ : *percentScale_; }
    const LWaveMarks& Marks() const { return marks_; }
    // The buttons in bar order: Zoom Out, Zoom In, Zoom Selection, Zoom Full,
    // Vertical Zoom, the +/-, the left/right, the lanes and the spectrogram display mode.
    QToolButton& Button(int index) const { return *buttons_[size_t(index)]; }

    QSize sizeHint() const override { return {560, 300}; }

signals:
    // The user clicked into the window: its document becomes current.
    void activated();
    // The user asked to close the document (the frame asks about unsaved changes).
    void closeRequested();
    // The mouse was released over the overview or the main view: the document's
    // selection and cursor are final (already set through the model).
    void overviewReleased();
    void mainReleased();
    // A selection is being dragged in the overview or the main view.
    void overviewDragging();
    void mainDragging();
    // Vertical zoom or the display mode changed.
    void displayOptionsChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void Layout();
    // Restarts both views on the document's audio.
    void Restart();
    // The views' colours as "UseWindowsColor" says now.
    void RefreshColours();
    // The spectrogram's FFT size and axis as the settings say now.
    void RefreshSpectrogramOptions();
    bool AudioChanged() const;
    void WaveCode(bool overview, int code);
    void MoveCursor(int32_t frame);
    void SyncControls();
    void DragScroll();
    // A wheel over the main view, the overview or the ruler.
    bool Wheel(QObject* over, const class QWheelEvent& event);

    MainDialog& model_;
    LKVFile& doc_;
    std::unique_ptr<LKVFileWindowModel> views_;
    LCutListAudio shown_;  // the audio the views were started on
    LWaveMarks marks_;
    LKVWaveWindow* overview_;
    LKVWaveWindow* main_;
    LKVTimeRuler* ruler_;
    LKVAmplitudeScale* percentScale_;
    LKVAmplitudeScale* dBScale_;
    QScrollBar* scroll_;
    std::array<QToolButton*, 9> buttons_{};
    QMenu* contextMenu_ = nullptr;
    class QTimer* dragTimer_;
    int32_t dragDirection_ = 0;
};
