#pragma once
#include <QWidget>

#include "display/LKVWaveModel.h"
#include "display/LTimeRuler.h"
#include "display/LWaveMarks.h"

// The time ruler above a document's main view, as wide as it and column for
// column in line with it: ticks and time labels of the view, the selection and
// the play cursor, and a row of bands for the document's regions. A click on
// the ticks asks for the position there; a click on a band for that region.
class LKVTimeRuler : public QWidget {
    Q_OBJECT
public:
    // At most this many rows of region bands.
    static constexpr int kMaxRegionRows = 3;

    // `main` (the main view's model) outlives the ruler.
    explicit LKVTimeRuler(const LKVWaveModel& main, QWidget* parent = nullptr);

    // The regions to show (not owned; null for none). The height follows the
    // rows their bands need: call Height again afterwards.
    void SetMarks(const LWaveMarks* marks);
    // The height the ruler wants: the time row and its region rows.
    int Height() const;
    // What the ruler shows now, for tests and benchmarks.
    LTimeRuler::Layout Ticks() const;
    std::vector<LWaveMarks::Band> Bands() const;

signals:
    void positionClicked(int frame);
    void regionClicked(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    int TimeRowHeight() const;
    int BandRowHeight() const;
    int RegionRows() const;

    const LKVWaveModel& main_;
    const LWaveMarks* marks_ = nullptr;
    QFont font_;
};
