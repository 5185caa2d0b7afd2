#pragma once
#include <QDialog>
#include <QElapsedTimer>

class QLabel;
class QProgressBar;

// The window of a running job: the program's icon, two text lines, a bar of
// 0..100, the product line and Cancel. It appears only once the job has run for
// a moment, so quick jobs do not flash a window; until then the user's input
// waits, so nothing else starts while the job runs. Modal over the whole program.
class LQtProgressDialog : public QDialog {
    Q_OBJECT
public:
    explicit LQtProgressDialog(const QString& title, QWidget* parent = nullptr);

    void SetLine(int line, const QString& text);
    void SetPercent(int percent);
    // Handles pending events; true once the user has cancelled.
    bool Pump();
    bool Cancelled() const { return cancelled_; }

    // How long a job runs before its window appears, for all dialogs made
    // afterwards (tests and screenshots use 0).
    static void SetShowDelay(int ms);

protected:
    void reject() override;

private:
    QLabel* lines_[2];
    QProgressBar* bar_;
    QElapsedTimer age_;
    bool cancelled_ = false;
};
