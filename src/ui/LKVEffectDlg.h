#pragma once
#include <QDialog>
#include <QLineEdit>
#include <QString>
#include <cstdint>
#include <string>

class QDialogButtonBox;
class QFormLayout;
class QHBoxLayout;
class QPushButton;
class QVBoxLayout;

// The frame every effect dialog is built in: the dialog's controls above a row
// of buttons ending in OK and Cancel. OK reads and checks the values through
// Check(); a failure shows its message in an "Invalid value" box and the
// dialog stays open with the control that failed focused and selected.
// Controls carry their control id as object name ("id101"), where tests and
// scripts find them.
class LKVEffectDlg : public QDialog {
    Q_OBJECT
public:
    // The dialog's caption is `caption`, usually the command's name.
    explicit LKVEffectDlg(const QString& caption, QWidget* parent = nullptr);

    // The object name of the control with id `id`.
    static QString IdName(int id) { return QStringLiteral("id%1").arg(id); }

    void accept() override;

protected:
    struct Failure {
        std::string message;       // empty: the values are accepted
        QWidget* field = nullptr;  // what gets the focus
    };
    // Reads the controls into the dialog's values and checks them.
    virtual Failure Check() = 0;

    // The labelled rows above the buttons, created on first use.
    QFormLayout& Form();
    // Everything above the buttons.
    QVBoxLayout& Body() { return *body_; }
    QDialogButtonBox& Buttons() { return *buttons_; }
    // A button of the dialog's own (Preview, Set Flat), at the left of the row
    // that ends in OK and Cancel.
    QPushButton* AddButton(int id, const QString& text);
    // Puts `button` into that row (first: at its left end).
    void AddActionButton(QPushButton* button, bool first = false);

    // A one-line field for a signed whole number, labelled `label`.
    QLineEdit* AddNumberField(int id, const QString& label, int32_t value);
    // The number in `field`; a field that holds no whole number in the 32-bit
    // range fails with a message of its own.
    static bool ReadNumber(QLineEdit* field, int32_t& value, Failure& failure);
    // A failure of `field` when `message` is not empty.
    static Failure FailIf(const std::string& message, QWidget* field) { return {message, field}; }

private:
    QVBoxLayout* body_;
    QFormLayout* form_ = nullptr;
    QHBoxLayout* actions_;
    QDialogButtonBox* buttons_;
};
