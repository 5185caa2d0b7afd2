#pragma once
#include <QDialog>
#include <cstdint>

class QComboBox;

// "New File": the sample rate (typed or picked from the usual rates) and mono
// or stereo. The caller checks the rate and asks again when it is out of range.
class LNewFileDlg : public QDialog {
    Q_OBJECT
public:
    LNewFileDlg(int32_t sampleRate, uint8_t channels, QWidget* parent = nullptr);
    // 0 when the typed text is no number.
    int32_t SampleRate() const;
    uint8_t Channels() const;

private:
    QComboBox* rate_;
    QComboBox* channels_;
};
