#pragma once
#include <QImage>
#include <QWidget>

#include "display/LKVWaveModel.h"
#include "display/LWaveColours.h"
#include "display/LWaveMarks.h"

// A document's wave view (the overview strip or the main view). It paints the
// picture its model computed, with the document's bookmarks and regions over
// it, and turns the mouse into selection calls; the model and its wave thread
// do everything else. Selection and cursor changes repaint only the columns
// they touch and never recompute the wave.
class LKVWaveWindow : public QWidget, private LWaveViewListener {
    Q_OBJECT
public:
    // `model` outlives the window.
    explicit LKVWaveWindow(LKVWaveModel& model, QWidget* parent = nullptr);
    ~LKVWaveWindow() override;

    LKVWaveModel& Model() const { return model_; }
    // The document view's own colours, or the system's ("UseWindowsColor").
    void SetColours(bool useWindowsColours);
    const LWaveColours& Colours() const { return colours_; }
    // The picture as painted, for tests and screenshots.
    QImage Render() const;

    // The marks to draw (not owned; null for none). `names`: bookmark flags
    // with their names (the main view); without, lines and region bands (the overview).
    void SetMarks(const LWaveMarks* marks, bool names);
    // The overview frames the range the main view shows (start == end: none).
    void SetViewRange(int32_t start, int32_t end);
    // Height of one row of bookmark flags.
    int FlagHeight() const;
    // The flags as drawn now (main view), for the pointer and for tests.
    std::vector<LWaveMarks::Flag> Flags() const;
    // The marks' own font.
    static QFont MarkFont(const QFont& base);

signals:
    // kWaveReleased, the drag-edge codes and kWaveSelecting, as the mouse makes them.
    void waveCode(int code);
    // What the view shows changed (mapping, cursor, selection): what is drawn
    // beside it (the ruler, the scales) follows.
    void changed();
    // A double click on the flag or the line of the bookmark with this index.
    void bookmarkActivated(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void WaveInvalidate(int32_t from, int32_t to) override;
    void Emit(const std::vector<int32_t>& codes);
    void PaintMarks(QPainter& painter, const LWaveMapping& map) const;
    static void RenderSpectrogram(QImage& image, const LWavePicture& p, int32_t from, int32_t to);

    LKVWaveModel& model_;
    LWaveColours colours_;
    bool useWindowsColours_ = false;
    QImage image_;
    const LWaveMarks* marks_ = nullptr;
    bool names_ = false;
    int32_t viewStart_ = 0;
    int32_t viewEnd_ = 0;
};
