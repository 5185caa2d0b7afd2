#pragma once
#include "core/LProgressWindow.h"

// Terminal progress: a bar on stderr (only when stderr is a terminal) and Ctrl+C
// as Cancel. The object hooks SIGINT, SIGTERM and SIGHUP for its life, all three
// as Ctrl+C; one that comes while no job runs cancels the next job at its first
// block.
class LConsoleProgress : public LProgressBackend {
public:
    explicit LConsoleProgress(bool quiet);
    ~LConsoleProgress() override;
    std::unique_ptr<LProgressWindow> Open(const std::string& title) override;

    // True once Ctrl+C was pressed (or SIGTERM or SIGHUP came); ClearInterrupt()
    // forgets it.
    static bool Interrupted();
    static void ClearInterrupt();

private:
    bool quiet_;
    bool tty_;
};
