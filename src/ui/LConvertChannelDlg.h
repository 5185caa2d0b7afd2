#pragma once
#include <QDialog>
#include <cstdint>

class QRadioButton;

// "Convert Channel (Mono <-> Stereo)" for a batch command: the channel count the
// file is converted to, mono or stereo.
class LConvertChannelDlg : public QDialog {
    Q_OBJECT
public:
    // `channels` picks the button checked first (2 for stereo, else mono).
    explicit LConvertChannelDlg(int32_t channels, QWidget* parent = nullptr);
    // 1 or 2.
    int32_t Channels() const;

private:
    QRadioButton* mono_;
    QRadioButton* stereo_;
};
