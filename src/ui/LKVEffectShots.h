#pragma once
#include <QString>
#include <functional>

class QWidget;

// Opens each effect dialog over `parent` on typical values, hands it to `save`
// under its picture name ("dialog-echo", ...), and closes it again; the
// preview dialogs copy the current document, if any.
void LKVEffectShots(QWidget* parent, const std::function<void(QWidget&, const QString&)>& save);
