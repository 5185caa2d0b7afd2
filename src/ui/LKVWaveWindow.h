#pragma once
#include <QImage>
#include <QWidget>

#include "display/LKVWaveModel.h"
#include "display/LWaveColours.h"

// A document's wave view (the overview strip or the main view). It paints the
// picture its model computed and turns the mouse into selection calls; the
// model and its wave thread do everything else. Selection and cursor changes
// repaint only the columns they touch and never recompute the wave.
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

signals:
    // kWaveReleased, the drag-edge codes and kWaveSelecting, as the mouse makes them.
    void waveCode(int code);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void WaveInvalidate(int32_t from, int32_t to) override;
    void Emit(const std::vector<int32_t>& codes);

    LKVWaveModel& model_;
    LWaveColours colours_;
    bool useWindowsColours_ = false;
    QImage image_;
};
