#pragma once
#include <QKeySequence>
#include <QList>

// The key sequences of a shortcut as the command table writes it ("Ctrl+N",
// "Shift+Home", "Ctrl+Plus", "Esc"); empty for none. Ctrl+Plus also answers to
// Ctrl+= so that it works without Shift on keyboards where + needs it.
QList<QKeySequence> LKVShortcuts(const char* text);
