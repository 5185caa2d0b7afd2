#pragma once
#include "core/LProgressWindow.h"

// Opens a LQtProgressDialog for every job, over the active window.
class LQtProgressBackend : public LProgressBackend {
public:
    std::unique_ptr<LProgressWindow> Open(const std::string& title) override;
    // Whether a job is running now (its window may not show yet).
    static bool Busy();
};
