#include "ui/LKVDialogExec.h"

#include <QBoxLayout>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>

#include "ui/LKVDialogFocus.h"

namespace {

std::function<void(QDialog&)> g_hook;

// The title bar shows the whole caption: the dialog is at least as wide as the
// caption in a title font (often bold and larger than the dialog's) and the
// title bar's buttons.
void FitTitle(QDialog& dialog)
{
    const int need = dialog.fontMetrics().horizontalAdvance(dialog.windowTitle()) * 5 / 4 + 120;
    if (dialog.sizeHint().width() >= need)
        return;
    // A fixed-size layout sets the dialog's size from its own hint: a strut widens it.
    if (auto* box = qobject_cast<QBoxLayout*>(dialog.layout()); box && box->direction() >= QBoxLayout::TopToBottom)
        box->addStrut(need);
    else
        dialog.setMinimumWidth(need);
}

} // namespace

int LKVExec(QDialog& dialog)
{
    // Message boxes and file dialogs size themselves and place the focus their own way.
    if (!qobject_cast<QMessageBox*>(&dialog) && !qobject_cast<QFileDialog*>(&dialog)) {
        FitTitle(dialog);
        LKVFocusFirstField(dialog);
    }
    if (g_hook) {
        // A copy: the hook may replace itself while it runs.
        auto hook = g_hook;
        hook(dialog);
    }
    return dialog.exec();
}

void LKVSetExecHook(std::function<void(QDialog&)> hook) { g_hook = std::move(hook); }
