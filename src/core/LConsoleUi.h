#pragma once
#include "core/LUi.h"

// Terminal implementation of LUi: prints every message on stderr. Questions are
// answered without asking (a terminal tool must never block on input it was not
// told to expect): with the safe answer, No or Cancel, unless a fixed answer is set.
class LConsoleUi : public LUi {
public:
    LUiAnswer MessageBox(const LUiMessage& message) override;
    // Answer every question with Yes (or Ok/Retry) instead of the safe answer.
    void SetAssumeYes(bool yes) { assumeYes_ = yes; }
    void SetQuiet(bool quiet) { quiet_ = quiet; }

private:
    bool assumeYes_ = false;
    bool quiet_ = false;
};
