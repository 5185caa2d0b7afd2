#pragma once
#include <cstdint>
#include <memory>
#include <string>

// The window of a running job: two text lines, a bar of 0..100 and a Cancel button.
// Implemented by the GUI's dialog, the terminal's bar and the tests' script.
class LProgressWindow {
public:
    virtual ~LProgressWindow() = default;
    virtual void SetText(int line, const std::string& text) = 0;
    virtual void SetPercent(int32_t percent) = 0;
    // Handles pending window events; true once the user has pressed Cancel.
    virtual bool Pump() = 0;
};

// Creates the windows; one backend per process.
class LProgressBackend {
public:
    virtual ~LProgressBackend() = default;
    // nullptr when no window can be created (the job then does not run).
    virtual std::unique_ptr<LProgressWindow> Open(const std::string& title) = 0;
};

// The process-wide backend; a silent one that never cancels until one is set.
LProgressBackend& LProgressGetBackend();
// Installs `backend` (not owned); nullptr restores the silent one.
void LProgressSetBackend(LProgressBackend* backend);
