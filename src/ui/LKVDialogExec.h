#pragma once
#include <functional>

class QDialog;

// Runs a modal dialog. Every dialog of the program opens through here, so a test
// can answer it: the hook runs just before the dialog's own event loop starts.
int LKVExec(QDialog& dialog);
// Installs `hook` (empty: none) for every dialog opened afterwards.
void LKVSetExecHook(std::function<void(QDialog&)> hook);
