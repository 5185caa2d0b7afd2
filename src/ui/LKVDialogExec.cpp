#include "ui/LKVDialogExec.h"

#include <QDialog>

namespace {
std::function<void(QDialog&)> g_hook;
}

int LKVExec(QDialog& dialog)
{
    if (g_hook) {
        // A copy: the hook may replace itself while it runs.
        auto hook = g_hook;
        hook(dialog);
    }
    return dialog.exec();
}

void LKVSetExecHook(std::function<void(QDialog&)> hook) { g_hook = std::move(hook); }
