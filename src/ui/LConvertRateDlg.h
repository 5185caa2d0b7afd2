#pragma once
#include <QDialog>
#include <cstdint>

class QComboBox;

// "Convert Sample Rate": the rate the current file is converted to, typed or
// picked, 6000 to 196000 Hz; remembered as "ConvertSampleRate".
class LConvertRateDlg : public QDialog {
    Q_OBJECT
public:
    LConvertRateDlg(int32_t currentRate, QWidget* parent = nullptr);
    int32_t Rate() const { return rate_; }

    void accept() override;

private:
    QComboBox* combo_;
    int32_t rate_ = 0;
};
