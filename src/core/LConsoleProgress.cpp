#include "core/LConsoleProgress.h"

#include <csignal>
#include <cstdio>
#include <iterator>
#include <unistd.h>

#include "core/LConsoleUi.h"

namespace {

volatile std::sig_atomic_t g_interrupted = 0;
// Ctrl+C, and how a desktop session or a service manager ends a program: each
// cancels the job, so that it cleans up after itself.
constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void OnInterrupt(int) { g_interrupted = 1; }

class LConsoleWindow : public LProgressWindow {
public:
    LConsoleWindow(std::string title, bool draw) : title_(std::move(title)), draw_(draw) {}
    ~LConsoleWindow() override
    {
        if (draw_ && drawn_)
            std::fprintf(stderr, "\r\033[K");
    }
    void SetText(int line, const std::string& text) override
    {
        if (line == 0)
            text_ = text;
        Draw();
    }
    void SetPercent(int32_t percent) override
    {
        if (percent == percent_)
            return;
        percent_ = percent;
        Draw();
    }
    bool Pump() override { return g_interrupted != 0; }

private:
    void Draw()
    {
        if (!draw_)
            return;
        char bar[31];
        int filled = percent_ * 30 / 100;
        for (int i = 0; i < 30; ++i)
            bar[i] = i < filled ? '#' : '-';
        bar[30] = 0;
        // The line names files: a control character in a name must not break it.
        const std::string shown = LConsoleUi::Escaped(text_.empty() ? title_ : text_);
        std::fprintf(stderr, "\r\033[K%s [%s] %3d%%", shown.c_str(), bar, percent_);
        std::fflush(stderr);
        drawn_ = true;
    }
    std::string title_;
    std::string text_;
    int32_t percent_ = -1;
    bool draw_;
    bool drawn_ = false;
};

} // namespace

LConsoleProgress::LConsoleProgress(bool quiet) : quiet_(quiet), tty_(isatty(STDERR_FILENO) != 0)
{
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    for (size_t i = 0; i < std::size(kStopSignals); ++i)
        sigaction(kStopSignals[i], &action, nullptr);
}

// The handlers stay: a stop signal that comes once the run's work is over (the
// file saved, "done" said, the program on its way out) must not turn a finished
// run into a killed one. It only sets the flag, which nobody reads any more.
LConsoleProgress::~LConsoleProgress() = default;

std::unique_ptr<LProgressWindow> LConsoleProgress::Open(const std::string& title)
{
    return std::make_unique<LConsoleWindow>(title, tty_ && !quiet_);
}

bool LConsoleProgress::Interrupted() { return g_interrupted != 0; }
void LConsoleProgress::ClearInterrupt() { g_interrupted = 0; }
