#pragma once
#include <QPixmap>
#include <QWidget>

#include "devices/LDBDisplayModel.h"

// A level meter: one bar per channel, -36 dB at the left, 0 dB three quarters
// across, +12 dB at the right; a green pattern up to 0 dB, a red one above,
// black beyond the level, grey while disabled or without channels. Repaints
// only the strips that changed.
class LDBDisplay : public QWidget {
    Q_OBJECT
public:
    explicit LDBDisplay(QWidget* parent = nullptr);
    void SetLevels(const LChannelLevels& levels);
    const LDBDisplayModel& Model() const { return model_; }

    QSize sizeHint() const override { return {320, 18}; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    LDBDisplayModel model_;
    QPixmap green_;
    QPixmap red_;
};
