#pragma once
#include <QWidget>
#include <cstdint>

class QLabel;
class QSlider;

// The playback volume of the frame, -36 (mute) to +10 dB, with its value shown.
class LKVVolumeControl : public QWidget {
    Q_OBJECT
public:
    static constexpr int32_t kMinDb = -36;
    static constexpr int32_t kMaxDb = 10;

    explicit LKVVolumeControl(QWidget* parent = nullptr);
    int32_t Db() const;
    // Moves the control without reporting it.
    void SetDb(int32_t db);
    QSlider* Slider() const { return slider_; }

signals:
    // The user moved the control.
    void volumeChanged(int32_t db);

private:
    void ShowValue(int db);

    QSlider* slider_;
    QLabel* value_;
};
