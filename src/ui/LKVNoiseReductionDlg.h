#pragma once
#include "ui/LKVEffectDlg.h"

class LKVLevelControl;

// The "Noise Reduction" dialog: the noise gate level, -40..0 dB.
class LKVNoiseReductionDlg : public LKVEffectDlg {
    Q_OBJECT
public:
    LKVNoiseReductionDlg(int32_t levelDb, QWidget* parent = nullptr);
    int32_t LevelDb() const { return level_; }

protected:
    Failure Check() override;

private:
    LKVLevelControl* control_;
    int32_t level_;
};
