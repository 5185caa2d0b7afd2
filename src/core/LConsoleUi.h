#pragma once
#include "core/LUi.h"

// Terminal implementation of LUi: prints every message on stderr. Questions are
// answered without asking (a terminal tool must never block on input it was not
// told to expect): with the safe answer, No or Cancel, unless a fixed answer is set.
class LConsoleUi : public LUi {
public:
    LUiAnswer MessageBox(const LUiMessage& message) override;
    // A terminal has no settings dialog to show: the answer is the settings as
    // stored (with the run's overrides), which the caller passes in. A rate or a
    // coding the dialog would not accept is refused with a message instead (the
    // caller then treats the file as not opened).
    bool RawSettingsDialog(const std::string& section, LUiRawAudioSettings& settings) override;
    // Entries of the raw settings dialog's coding list.
    static constexpr uint8_t kRawCodings = 7;
    // Answer every question with Yes (or Ok/Retry) instead of the safe answer.
    void SetAssumeYes(bool yes) { assumeYes_ = yes; }
    void SetQuiet(bool quiet) { quiet_ = quiet; }
    // A message's text as the terminal shows it: each Windows line break ("\r\n")
    // becomes one "\n"; other control characters are shown escaped.
    static std::string TerminalText(const std::string& text);
    // `text` with every control character escaped ("\n", "\t", "\x1b", ...), for
    // names printed in a line of their own: a file name holding a line break or a
    // terminal escape sequence must not break the line or steer the terminal.
    static std::string Escaped(const std::string& text);

private:
    bool assumeYes_ = false;
    bool quiet_ = false;
};
