#pragma once
#include <QDialog>
#include <QKeySequence>
#include <QStringList>
#include <cstddef>
#include <functional>
#include <vector>

class QMenu;
class QPushButton;
class QTreeWidget;
class QVBoxLayout;

// What the bookmark and region windows share: a modeless window with a report
// list (several rows can be selected), a column of command buttons and a
// context menu holding the same commands. Rows are the model's list in its
// order, so a row number is an index into that list. Closing the window
// (Close, Esc or the title bar) emits closed() and deletes it.
class LKVListWindow : public QDialog {
    Q_OBJECT
public:
    QTreeWidget& List() const { return *list_; }
    // Rows selected, in list order; the current row alone when none is selected.
    std::vector<size_t> SelectedRows() const;
    // The row a one-item command works on: the current row when selected, else the
    // first selected row; -1 for none.
    int CommandRow() const;
    // The button of a command, by its object name.
    QPushButton* Button(const char* name) const;

    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    void closed();

protected:
    // Which rows a command needs before it is enabled.
    enum class Needs { Nothing, Rows, Selection, OneRow };

    LKVListWindow(const QString& objectName, const QString& title, const QStringList& columns, QWidget* parent);
    // A command: a button in the column and an entry of the context menu, and
    // `key` (when given) pressed in the list. `name` is the button's object name.
    QPushButton* AddCommand(const QString& text, const char* name, Needs needs, std::function<void()> run,
                            QKeySequence::StandardKey key = QKeySequence::UnknownKey);
    // A little space between two groups of commands.
    void AddGap();
    // Ends the commands: a gap, then Close at the bottom of the column.
    void AddCloseButton();
    // Refills the list; the rows whose first column was selected stay selected.
    void Fill(const std::vector<QStringList>& rows);
    // Enables each command by what it needs (whenever the rows or the selection change).
    virtual void UpdateCommands();
    // Runs when a row is double-clicked or Enter is pressed on it.
    void SetDefaultCommand(std::function<void()> run) { defaultCommand_ = std::move(run); }

private:
    struct Command {
        QPushButton* button;
        QAction* action;
        Needs needs;
        QKeySequence::StandardKey key;
    };
    void ShowContextMenu(const QPoint& at);

    QTreeWidget* list_;
    QVBoxLayout* buttons_;
    QMenu* menu_;
    std::vector<Command> commands_;
    std::function<void()> defaultCommand_;
    bool closing_ = false;
};
