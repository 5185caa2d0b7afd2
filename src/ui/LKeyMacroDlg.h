#pragma once
#include <QDialog>
#include <QLineEdit>

#include "app/LKeyMacros.h"

class QListWidget;
class QLabel;

// A field that takes the next key pressed in it (with Ctrl, Alt, Shift) as a
// macro key. Enter, Escape and the modifier keys alone are not taken.
class LKeyCaptureEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit LKeyCaptureEdit(QWidget* parent = nullptr);
    uint32_t Code() const { return code_; }
    void SetCode(uint32_t code);

signals:
    void captured(uint32_t code);
    // A key that cannot be taken was pressed.
    void refused();

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    uint32_t code_ = 0;
};

// The key-macro editor: the macros on the left; for the chosen one, its key
// and the commands it runs in order, picked from the command table. OK keeps
// the edited macros (the caller stores them in "keys.dat").
class LKeyMacroDlg : public QDialog {
    Q_OBJECT
public:
    LKeyMacroDlg(const LKeyMacros& macros, QWidget* parent = nullptr);
    const LKeyMacros& Macros() const { return macros_; }

private:
    void FillMacros(uint32_t select);
    void ShowMacro();
    void StoreCommands();
    uint32_t SelectedKey() const;
    void NewMacro(uint32_t code);

    LKeyMacros macros_;
    QListWidget* list_;
    LKeyCaptureEdit* key_;
    QLabel* hint_;
    QListWidget* commands_;
    QListWidget* chosen_;
};
