#pragma once
#include <QIcon>
#include <QString>

// The program's name, version and icon as the windows show them.
QString LKVVersion();
// "Kelvane <version>", the product line of progress windows and the about box.
QString LKVProductLine();
QIcon LKVAppIcon();
// An icon drawn for this program, by its file name under resources/icons
// without the extension ("play", "stop-active", ...).
QIcon LKVIcon(const QString& name);
