#pragma once
#include <QFont>
#include <QString>
#include <QWidget>

#include "display/LFrequencyWindowModel.h"

// The spectrum drawing of the frequency analysis window: a grid every 100 and
// 1000 Hz and every 6 dB, one curve per channel over the frequency axis of its
// model (logarithmic or linear), and the readout at the top right. It reports the pointer
// so its dialog can fill the readout.
class LFrequencyWindow : public QWidget {
    Q_OBJECT
public:
    explicit LFrequencyWindow(QWidget* parent = nullptr);

    LFrequencyWindowModel& Model() { return model_; }
    void SetData(const LSpectrumBlock& block);
    void SetReadout(const QString& text);
    const QString& Readout() const { return readout_; }

    QSize sizeHint() const override { return {520, 260}; }

signals:
    // The pointer is over drawing pixel (x, y).
    void pointerMoved(int x, int y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    LFrequencyWindowModel model_;
    QString readout_;
    QFont font_;
};
