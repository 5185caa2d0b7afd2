#pragma once
#include <QWidget>

class QPainter;

#include "display/LAmplitudeScale.h"
#include "display/LKVWaveModel.h"

// An amplitude scale beside a document's main view: percent of full scale on
// its left, decibels on its right, marks on the rows where a wave of that level
// reaches in each lane, and the channel letters when a stereo document is
// drawn by channel. Beside a spectrogram the left one shows the frequency axis
// of each lane and the right one the colours' levels. The top `caption`
// pixels hold the unit, beside the ruler.
class LKVAmplitudeScale : public QWidget {
    Q_OBJECT
public:
    // `main` (the main view's model) outlives the scale.
    LKVAmplitudeScale(const LKVWaveModel& main, LAmplitudeScale::Unit unit, QWidget* parent = nullptr);

    // Pixels above the main view's first row (the ruler beside it).
    void SetCaptionHeight(int pixels);
    // The width its labels need.
    int PreferredWidth() const;
    // The marks of each lane as drawn for a view `waveHeight` pixels high, rows
    // relative to the view; for tests.
    std::vector<LAmplitudeScale::Mark> Marks(int waveHeight) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool OnLeft() const { return unit_ == LAmplitudeScale::Unit::Percent; }
    bool Spectrogram() const { return main_.DisplayMode() == kWaveModeSpectrogram; }
    // In spectrogram mode: the frequency axis (left) or the colour levels (right).
    void PaintSpectrogramScale(QPainter& p, int waveHeight) const;

    const LKVWaveModel& main_;
    LAmplitudeScale::Unit unit_;
    int caption_ = 0;
    QFont font_;
};
