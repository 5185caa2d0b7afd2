#pragma once
#include <QDialog>
#include <string>

#include "formats/LRawSettings.h"

class QComboBox;

// "LRawDlg": how to read or write a headerless file of one settings section
// ("RawAudio" or "VoxAudio"): the coding (control 101), the sample rate, typed
// or picked (102), and mono or stereo (103). OK checks the rate and stores the
// values; a rate out of range keeps the dialog open.
class LRawSettingsDlg : public QDialog {
    Q_OBJECT
public:
    LRawSettingsDlg(const std::string& section, const LRawSettings& settings, QWidget* parent = nullptr);
    const LRawSettings& Settings() const { return settings_; }

    void accept() override;

private:
    std::string section_;
    LRawSettings settings_;
    QComboBox* codec_;
    QComboBox* rate_;
    QComboBox* channels_;
};
