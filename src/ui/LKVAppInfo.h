#pragma once
#include <QIcon>
#include <QString>

// The program's name, version and icon as the windows show them.
QString LKVVersion();
// "Kelvane <version>", the product line of progress windows and the about box.
QString LKVProductLine();
QIcon LKVAppIcon();
// Names the application for the desktop: its name and desktop file. It sets no
// display name: Qt would add that to every window title that does not end
// with it, and the frame's title already names the program ("Kelvane", and
// "Kelvane - [music.wav]" with a maximized document), so it would read twice.
void LKVNameApplication();
// An icon drawn for this program, by its file name under resources/icons
// without the extension ("play", "stop-active", ...).
QIcon LKVIcon(const QString& name);
