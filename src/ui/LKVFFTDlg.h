#pragma once
#include <QWidget>

#include "display/LSpectrum.h"

class LFrequencyWindow;
class LKVFrequencyAxis;
class QCheckBox;
class QScrollBar;
class QToolButton;

// The "Frequency Analysis" window's content (an MDI child): the spectrum
// drawing with its level axis (dB) at the left and its frequency axis (Hz)
// under it, its two zoom scroll bars, five zoom buttons and the choice of a
// logarithmic or linear frequency axis. The frame hands it a
// spectrum whenever the cursor moves while it is open; closing it is reported
// so the frame stops computing spectra.
class LKVFFTDlg : public QWidget {
    Q_OBJECT
public:
    explicit LKVFFTDlg(QWidget* parent = nullptr);
    ~LKVFFTDlg() override;

    void SetData(const LSpectrumBlock& block);
    LFrequencyWindow& Frequency() const { return *frequency_; }
    QScrollBar& ScrollBar(bool vertical) const { return vertical ? *vScroll_ : *hScroll_; }
    QCheckBox& LogarithmicBox() const { return *logarithmic_; }

    QSize sizeHint() const override { return {640, 380}; }

    // What the five buttons do: one zoom step on an axis, or both back to none.
    void Zoom(bool vertical, bool in);
    void ZoomDefault();

signals:
    // The window is going away: stop computing spectra for it.
    void closed();

private:
    void Sync();
    void PointerMoved(int x, int y);
    void Scrolled(bool vertical, int action);

    LFrequencyWindow* frequency_;
    QScrollBar* vScroll_;
    QScrollBar* hScroll_;
    LKVFrequencyAxis* levelAxis_;
    LKVFrequencyAxis* frequencyAxis_;
    QCheckBox* logarithmic_;
    int lastX_ = -1;
    int lastY_ = -1;
};
