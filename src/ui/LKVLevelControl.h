#pragma once
#include <QWidget>
#include <cstdint>

class QLabel;
class QSlider;

// A decibel level control: a slider over a fixed range of whole decibels with
// the value beside it ("-30 dB"). A value outside the range is shown at the
// nearest end.
class LKVLevelControl : public QWidget {
    Q_OBJECT
public:
    LKVLevelControl(int32_t minDb, int32_t maxDb, int32_t valueDb, QWidget* parent = nullptr);

    int32_t Value() const;
    void SetValue(int32_t db);
    QSlider& Slider() const { return *slider_; }

signals:
    // The value changed and the user is not dragging the handle any more.
    void valueSettled(int db);

private:
    void ShowValue(int db);

    QSlider* slider_;
    QLabel* value_;
};
