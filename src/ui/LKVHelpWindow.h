#pragma once
#include <QMainWindow>

class QTextBrowser;

// The manual, written for this program in HTML and built into it, in a window
// of its own with Back, Forward and Contents. Its table of commands and
// shortcuts is made from the command table, so it always matches the menus.
class LKVHelpWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit LKVHelpWindow(QWidget* parent = nullptr);
    QTextBrowser* Browser() const { return browser_; }
    // The manual's page of commands and shortcuts, as HTML.
    static QString CommandTable();

private:
    QTextBrowser* browser_;
};
