#pragma once
#include <functional>

class QDialog;
class QWidget;

// The button row of the encoder dialogs: "Restore Defaults" (runs `restore`),
// OK and Cancel wired to `dialog`.
QWidget* LKVEncodeDlgButtons(QDialog& dialog, std::function<void()> restore);
