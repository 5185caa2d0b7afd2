#pragma once
#include "ui/LKVPreviewDialog.h"

// The "Reverb" dialog: the level in percent (at most 100), then the time in
// milliseconds (50 to 1000). The preview plays the values as typed, clamped
// to 100 % and 10..1000 ms.
class LKVReverbDlg : public LKVPreviewDialog {
    Q_OBJECT
public:
    LKVReverbDlg(int32_t levelPercent, int32_t timeMs, QWidget* parent = nullptr);
    int32_t LevelPercent() const { return levelPercent_; }
    int32_t TimeMs() const { return timeMs_; }

protected:
    Failure Check() override;
    std::unique_ptr<LEfSourceMaker> MakePreviewMaker() const override;

private:
    QLineEdit* level_;
    QLineEdit* time_;
    int32_t levelPercent_;
    int32_t timeMs_;
};
