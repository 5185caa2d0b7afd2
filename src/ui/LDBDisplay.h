#pragma once
#include <QWidget>

#include "devices/LDBDisplayModel.h"

// A level meter: one bar per channel, -36 dB at the left, 0 dB three quarters
// across, +12 dB at the right; green up to 0 dB, red above. Repaints only the
// strips that changed.
class LDBDisplay : public QWidget {
    Q_OBJECT
public:
    explicit LDBDisplay(QWidget* parent = nullptr);
    void SetLevels(const LChannelLevels& levels);
    const LDBDisplayModel& Model() const { return model_; }

    QSize sizeHint() const override { return {320, 22}; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    LDBDisplayModel model_;
};
