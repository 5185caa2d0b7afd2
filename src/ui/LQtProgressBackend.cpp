#include "ui/LQtProgressBackend.h"

#include <QApplication>
#include <QPointer>

#include "ui/LQtProgressDialog.h"

namespace {

int g_open = 0;

class LQtProgressWindow : public LProgressWindow {
public:
    explicit LQtProgressWindow(const std::string& title)
        : dialog_(new LQtProgressDialog(QString::fromStdString(title), QApplication::activeWindow()))
    {
        ++g_open;
    }
    ~LQtProgressWindow() override
    {
        --g_open;
        delete dialog_.data();
    }
    void SetText(int line, const std::string& text) override
    {
        if (dialog_)
            dialog_->SetLine(line, QString::fromStdString(text));
    }
    void SetPercent(int32_t percent) override
    {
        if (dialog_)
            dialog_->SetPercent(percent);
    }
    // A window closed under the job (its parent went away) counts as a cancel.
    bool Pump() override { return !dialog_ || dialog_->Pump(); }

private:
    // Owned; the pointer clears itself should the parent window delete it first.
    QPointer<LQtProgressDialog> dialog_;
};

} // namespace

std::unique_ptr<LProgressWindow> LQtProgressBackend::Open(const std::string& title)
{
    return std::make_unique<LQtProgressWindow>(title);
}

bool LQtProgressBackend::Busy() { return g_open > 0; }
