#pragma once
#include <QDialog>

class QLineEdit;

// A one-line text dialog ("Enter Bookmark Name", "Rename Region", ...).
class LTextDlg : public QDialog {
    Q_OBJECT
public:
    LTextDlg(const QString& title, const QString& text, QWidget* parent = nullptr);
    QString Text() const;

private:
    QLineEdit* edit_;
};
