#pragma once
#include <QDialog>
#include <cstdint>

class QCheckBox;
class QComboBox;

// "Spectrogram Options": the FFT size (256 to 8192 frames: larger sizes resolve
// frequencies more finely and time more coarsely) and the frequency axis.
class LKVSpectrogramDlg : public QDialog {
    Q_OBJECT
public:
    // Shows `fftSize` (the nearest offered size) and the axis first.
    LKVSpectrogramDlg(int32_t fftSize, bool logFrequency, QWidget* parent = nullptr);
    int32_t FftSize() const;
    bool LogFrequency() const;

    // Runs the dialog on the stored settings and stores the user's choice;
    // false when cancelled.
    static bool Run(QWidget* parent);

private:
    QComboBox* size_;
    QCheckBox* log_;
};
