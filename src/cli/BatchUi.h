#pragma once
#include <memory>
#include <string>
#include <vector>

#include "core/LConsoleUi.h"
#include "core/LProgressWindow.h"

// The terminal's side of one file's conversion. The plain messages (OK button
// only) shown while the file converts are held back, so that a failed file's
// outcome line carries its reason; the jobs' titles are remembered, so that a
// failure nobody explained still names the step that failed. Installed as the
// user-interface port and the progress backend for its lifetime; questions and
// progress go on to the console as before. UI thread only.
class BatchUi : public LConsoleUi, public LProgressBackend {
public:
    explicit BatchUi(bool quietProgress);
    ~BatchUi() override;

    LUiAnswer MessageBox(const LUiMessage& message) override;
    std::unique_ptr<LProgressWindow> Open(const std::string& title) override;

    // Starts a file: forgets what the last one held.
    void BeginFile();
    // Ends a file that did not fail: shows the messages held for it.
    void ShowHeld();
    // Ends a file that failed: its reason, the held messages in order (one a
    // line, as the terminal shows them), else the step that failed.
    std::string FailureReason();

private:
    std::unique_ptr<LProgressBackend> console_;
    std::vector<LUiMessage> held_;
    std::string lastJob_;
};
