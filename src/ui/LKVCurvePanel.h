#pragma once
#include <QWidget>
#include <functional>
#include <string>

#include "effects/PointList.h"

class LKVBrainWaveWidget;
class QLabel;
class QPushButton;

// What the envelope and equalizer dialogs show: the curve editor with the
// readout of the point under the mouse at its top right, captions for the
// two ends of its horizontal scale, a few lines of help, and "Set Flat"
// (id 102, for the dialog's row of buttons), which resets the curve file
// ("envelope.dat", "equalizer.dat") and shows the flat curve it then holds.
class LKVCurvePanel : public QWidget {
    Q_OBJECT
public:
    using Readout = std::function<std::string(int x, int y)>;
    LKVCurvePanel(const PointList& points, const std::string& file, Readout readout, const QString& leftCaption,
                  const QString& rightCaption, QWidget* parent = nullptr);

    LKVBrainWaveWidget& Graph() const { return *graph_; }
    QPushButton& SetFlatButton() const { return *setFlat_; }
    PointList Points() const;

signals:
    // The curve may have changed (a button or key was released, or Set Flat).
    void curveChanged();

private:
    LKVBrainWaveWidget* graph_;
    QPushButton* setFlat_;
    std::string file_;
};
