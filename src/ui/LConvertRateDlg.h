#pragma once
#include <QDialog>
#include <cstdint>

#include "core/LRateQuality.h"

class QComboBox;

// "Convert Sample Rate": the rate the current file is converted to, typed or
// picked, 6000 to 196000 Hz; remembered as "ConvertSampleRate". The quality,
// Standard or High, is remembered as "ConvertRateQuality" whichever way the
// dialog was opened: the batch command and kelvane-batch read it from there.
class LConvertRateDlg : public QDialog {
    Q_OBJECT
public:
    LConvertRateDlg(int32_t currentRate, QWidget* parent = nullptr);
    // Opened on `proposedRate` instead of the remembered one; `remember` false
    // leaves "ConvertSampleRate" alone (a batch command keeps its own rate). A
    // `currentRate` of 0 shows no current rate.
    LConvertRateDlg(int32_t currentRate, int32_t proposedRate, bool remember, QWidget* parent = nullptr);
    int32_t Rate() const { return rate_; }
    LRateQuality Quality() const { return quality_; }

    void accept() override;

private:
    QComboBox* combo_;
    QComboBox* qualityCombo_;
    int32_t rate_ = 0;
    LRateQuality quality_ = LRateQuality::Standard;
    bool remember_ = true;
};
