#pragma once
#include <QDialog>
#include <QMessageBox>
#include <QString>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/LKVMainWindow.h"

// Widget tests run on Qt's offscreen platform with the program's own ports
// (message boxes, progress windows, dispatcher) installed.
namespace uitest {

// Answers the dialogs that open while it lives, in order. Each answer runs
// inside the dialog's own event loop. A dialog nobody answers is rejected and
// fails the test, so a test never hangs on one.
class DialogScript {
public:
    using Answer = std::function<void(QDialog&)>;
    DialogScript();
    ~DialogScript();

    // The next dialog is handled by `answer`.
    void Then(Answer answer);
    // The next dialog is a message box captioned `caption`; `button` answers it.
    void Message(const QString& caption, QMessageBox::StandardButton button);
    // Every dialog seen so far: its window title, and for message boxes their text.
    std::vector<QString> titles;
    std::vector<QString> texts;
    size_t Pending() const { return answers_.size(); }

private:
    std::deque<Answer> answers_;
};

// An answer for a file dialog: chooses `path` (typed into its name field) and accepts.
DialogScript::Answer ChooseFile(const std::string& path);
// Sets the text of the line edit or editable combo box named `name` in `dialog`.
void Type(QDialog& dialog, const char* name, const QString& text);
// Clicks the button of `box` that answers `button`.
void Click(QMessageBox& box, QMessageBox::StandardButton button);
// Writes a 16-bit WAV of a sine with sox; returns its path in the test folder.
std::string SoxSine(const std::string& name, int rate, int channels, double seconds);
// Lets queued calls and deferred deletes run.
void Settle();

} // namespace uitest
