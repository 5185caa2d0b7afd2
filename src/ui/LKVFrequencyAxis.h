#pragma once
#include <QFont>
#include <QWidget>

class LFrequencyWindowModel;

// An axis beside the spectrum drawing: frequencies in Hz under it (on the
// drawing's columns, logarithmic or linear as the model maps them) or levels in
// dB at its left (on the drawing's rows, following the vertical zoom and
// scroll). It paints what the model's label lists say; the dialog repaints it
// whenever the model changes.
class LKVFrequencyAxis : public QWidget {
public:
    enum class Kind : uint8_t { Frequency, Level };

    // `model` (the drawing's) outlives the axis.
    LKVFrequencyAxis(const LFrequencyWindowModel& model, Kind kind, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const LFrequencyWindowModel& model_;
    Kind kind_;
    QFont font_;
};
